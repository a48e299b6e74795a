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

void applyLogo(CardSession &session, const QString &reference, const QImage &picture)
{
    CardLogo &logo = session.card.logo;
    const QSizeF page = PageRenderer::pageTwips(session.card);
    const QSizeF natural = QSizeF(picture.size()) * PageGeometry::kScreenTwipsPerPixel;
    const QSizeF size = logoSize(natural, page);
    logo.img = reference;
    logo.width = float(size.width());
    logo.height = float(size.height());
    if (size != natural) {
        const QPointF topLeft = PageObjects::keepInTrim({QPointF(logo.left, logo.top), size}, page).topLeft;
        logo.left = float(topLeft.x());
        logo.top = float(topLeft.y());
    }
    session.view.logo = picture;
    session.markEdited();
    session.notifyPageChanged();
}

} // namespace AppliedPictures
