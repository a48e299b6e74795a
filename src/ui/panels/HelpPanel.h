#pragma once

#include <QFrame>
#include <array>

class HelpView;
class ProfileStore;
class QGridLayout;
class QLabel;

// The title line of a help topic: the caption, cut to its first 24 characters
// followed by "…" when it is longer.
QString helpTitle(const QString &caption);

// Side panel 9: the frequently asked questions. Choosing a topic shows its
// answer, read from the settings file at that moment, in the help view.
class HelpPanel : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kTopicCount = 8;

    // view: the help page, a child of the workspace it is laid over.
    // status: the main window's status line.
    HelpPanel(ProfileStore &store, HelpView &view, QLabel &status, QWidget *parent = nullptr);

    // Lays the help view over the workspace and shows the introduction.
    void openHelp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTopics(QGridLayout &grid);
    void pressTopic(int index);
    void releaseTopic(int index);
    QString settingText(int key) const;

    ProfileStore &m_store;
    HelpView &m_view;
    QLabel &m_status;
    std::array<QLabel *, kTopicCount> m_topics{};
};
