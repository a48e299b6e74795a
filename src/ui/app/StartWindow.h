#pragma once

#include "model/ProgramFolder.h"
#include "ui/app/FileHandOver.h"

#include <QLockFile>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class Dialogs;

// The first window ("Form_start"): refuses a second running copy (or, started
// with a card file, hands the file to it), listens for files from later starts, checks the
// settings file, makes missing library folders, shows the splash for 2.5 s (or
// until clicked), shrinks it away in 50 ms steps and hands over to the main window.
class StartWindow : public QWidget
{
    Q_OBJECT
public:
    // The splash in twips, and the steps it shrinks by.
    static constexpr QSize kSplashTwips{7560, 4125};

    StartWindow(ProgramFolder folder, Dialogs &dialogs, std::function<void()> showMain,
                QWidget *parent = nullptr);

    // The start sequence: checks and their messages, then the splash. False when
    // the program must end (a copy is already running, or the settings file is
    // missing); the reason has been shown. The main window is shown exactly once.
    bool start();

    // A card file named on the command line: with a copy already running, start()
    // hands it over instead of refusing with a message.
    void setFileToOpen(const QString &path) { m_fileToOpen = path; }
    // Files handed over by later starts arrive here.
    FileHandOver &fileHandOver() { return m_handOver; }

    QTimer &shrinkTimer() { return m_shrinkTimer; }
    QTimer &splashTimer() { return m_splashTimer; }
    int shrinkSteps() const { return m_shrinkSteps; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool hasSettingsFile();
    void createLibraryFolders();
    void shrinkStep();
    void handOver();
    void applyGeometry();

    ProgramFolder m_folder;
    Dialogs &m_dialogs;
    std::function<void()> m_showMain;
    std::unique_ptr<QLockFile> m_lock;
    FileHandOver m_handOver;
    QString m_fileToOpen;
    QTimer m_shrinkTimer;
    QTimer m_splashTimer;
    QRect m_twips;   // the window's geometry in twips, as it shrinks
    int m_shrinkSteps = 0;
    bool m_handedOver = false;
    QPixmap m_splash;
};
