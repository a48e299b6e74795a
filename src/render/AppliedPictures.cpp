#include "render/AppliedPictures.h"

#include "model/CardSession.h"
#include "render/PageGeometry.h"
#include "render/PageObjects.h"
#include "render/PageRenderer.h"

namespace AppliedPictures {

void applyBackground(CardSession &session, const QString &reference, const QImage &picture)
{
    CardPage &page = session.card.page;
    page.isBg = BackgroundKind::LibraryImage;
    page.bgImg = reference;
    session.view.background = picture;
    session.view.pictureRemoved = false;
    session.markEdited();
    session.notifyPageChanged();
}

QSizeF logoSize(QSizeF natural, QSizeF pageTwips)
{
    const QSizeF trim = PageGeometry::trimRect(pageTwips.toSize()).size();
    if (natural.width() <= trim.width() && natural.height() <= trim.height()) return natural;
    return natural.scaled(trim, Qt::KeepAspectRatio);
}

namespace {

// A picture made for print comes at its physical size (see PagePictures::printRatio).
QSizeF naturalSize(const QImage &picture)
{
    return picture.deviceIndependentSize() * PageGeometry::kScreenTwipsPerPixel;
}

void setLogo(CardSession &session, const QString &reference, const QImage &picture, const QRectF &box)
{
    CardLogo &logo = session.card.logo;
    logo.img = reference;
    logo.left = float(box.left());
    logo.top = float(box.top());
    logo.width = float(box.width());
    logo.height = float(box.height());
    session.view.logo = picture;
    session.markEdited();
    session.notifyPageChanged();
}

} // namespace

void applyLogo(CardSession &session, const QString &reference, const QImage &picture)
{
    const CardLogo &logo = session.card.logo;
    setLogo(session, reference, picture, {QPointF(logo.left, logo.top), naturalSize(picture)});
}

void applyFittedLogo(CardSession &session, const QString &reference, const QImage &picture)
{
    const CardLogo &logo = session.card.logo;
    const QSizeF page = PageRenderer::pageTwips(session.card);
    const QSizeF natural = naturalSize(picture);
    QRectF box(QPointF(logo.left, logo.top), logoSize(natural, page));
    if (box.size() != natural) box.moveTopLeft(PageObjects::keepInTrim(box, page).topLeft);
    setLogo(session, reference, picture, box);
}

} // namespace AppliedPictures
