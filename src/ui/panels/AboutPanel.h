#pragma once

#include <QFrame>

class QVBoxLayout;

// Side panel 10: the program's picture, version, web site, support contact,
// credits and legal notice.
class AboutPanel : public QFrame
{
    Q_OBJECT
public:
    explicit AboutPanel(QWidget *parent = nullptr);

private:
    void addPicture(QVBoxLayout &layout);
    void addWebSite(QVBoxLayout &layout);
};
