#include "ui/common/WebLink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

QString webSiteHost() { return QUrl(QString::fromLatin1(kWebSite)).host(); }

WebLink::WebLink(const QString &name, const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setCaptionColour(*this, kLinkColour);
}

void WebLink::mouseMoveEvent(QMouseEvent *event)
{
    setCaptionColour(*this, kLinkColour);
    QLabel::mouseMoveEvent(event);
}

void WebLink::mousePressEvent(QMouseEvent *event)
{
    setCaptionColour(*this, kPressedLinkColour);
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebSite)));
    event->accept();
}
