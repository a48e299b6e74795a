#pragma once

#include <QFrame>

class QLabel;

// The read-only view of a picture card ("view_bg") laid over the workspace:
// the picture ("view") with the caption "view_info" above it.
class PicturePreview : public QFrame
{
    Q_OBJECT
public:
    explicit PicturePreview(QWidget *workspace);

    void setPicture(const QPixmap &picture);
    const QLabel *picture() const { return m_view; }
    // Covers the workspace, the picture centred in it and the caption above.
    void fitToWorkspace();

private:
    QLabel *m_view;
    QLabel *m_info;
};
