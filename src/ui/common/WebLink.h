#pragma once

#include <QColor>
#include <QLabel>

#include "ui/common/WidgetColours.h"

// The program's web site: more card templates, pictures, updates and support.
inline constexpr char kWebSite[] = "https://penlark.example.cn";

// The site as captions name it: its host name.
QString webSiteHost();

// Colours of clickable captions (the help topics and the web links).
inline const QColor kLinkColour{0, 0, 255};
inline const QColor kPressedLinkColour{255, 0, 0};

// A label that opens the web site: blue at rest and under the pointer, red from
// the press on. Whether the browser could be started is not examined.
class WebLink : public QLabel
{
    Q_OBJECT
public:
    WebLink(const QString &name, const QString &text, QWidget *parent = nullptr);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
};
