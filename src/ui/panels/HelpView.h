#pragma once

#include <QFrame>
#include <QPixmap>

class QLabel;
class QPlainTextEdit;
class WebLink;

// The help page laid over the workspace: a title line, the answer in a
// scrollable text area on a light backdrop, and a link to more templates and
// resources on the web site.
class HelpView : public QFrame
{
    Q_OBJECT
public:
    explicit HelpView(QWidget *parent = nullptr);

    // Covers the workspace less a margin of 80 twips on every side, centred.
    void placeOver(const QSize &workspaceInner);

    void setTitle(const QString &title);
    // Help texts are one-line settings values; the two characters "\n" in
    // them stand for a line break.
    void setText(const QString &settingText);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOutContents();

    QPixmap m_picture;
    QLabel *m_title;
    QLabel *m_backdrop;
    QPlainTextEdit *m_text;
    WebLink *m_more;
};
