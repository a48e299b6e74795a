#include "render/CardThumbnails.h"

#include "model/CardReader.h"
#include "model/FileAccess.h"
#include "model/IniFile.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"
#include "render/TextFit.h"

#include <QPainter>

namespace {

// A card file is a few kilobytes; anything much larger is not drawn.
constexpr qint64 kLargestCard = 1024 * 1024;

// A thin grey edge, so that a white card shows on a white list.
QImage framed(QImage side)
{
    QPainter p(&side);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(side.rect().adjusted(0, 0, -1, -1));
    return side;
}

} // namespace

CardThumbnails::CardThumbnails(ProgramFolder folder, int sideSize, QObject *parent)
    : QObject(parent), m_folder(std::move(folder)), m_sideSize(sideSize)
{
}

CardThumbnails::~CardThumbnails()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QImage CardThumbnails::thumbnail(const QString &path)
{
    if (const auto found = m_drawn.constFind(path); found != m_drawn.constEnd()) return *found;
    if (m_drawing.contains(path)) return {};
    m_drawing.insert(path);
    // The destructor waits for the drawings under way, and a queued call to an
    // object that is gone is dropped, so the drawing may always report back.
    m_pool.start([this, path, folder = m_folder, size = m_sideSize] {
        const QImage image = draw(path, folder, size);
        QMetaObject::invokeMethod(this, [this, path, image] { keep(path, image); }, Qt::QueuedConnection);
    });
    return {};
}

void CardThumbnails::keep(const QString &path, const QImage &image)
{
    m_drawing.remove(path);
    m_drawn.insert(path, image);
    emit ready(path);
}

QImage CardThumbnails::draw(const QString &path, const ProgramFolder &folder, int size)
{
    const FileAccess::FileRead read = FileAccess::readRegularFile(path, kLargestCard);
    if (read.problem != FileAccess::Problem::None) return {};
    const IniFile ini = IniFile::fromBytes(read.bytes);
    if (!CardReader::isCard(CardReader::valuesOf(ini))) return {};
    CardDocument card = CardDocument::defaultCard();
    PageView view;
    CardReader::read(ini, PagePictures::sourceFor(folder), card, view);
    TextFit::restoreBlocks(card, view);
    const QImage front = framed(PageRenderer::renderThumbnail(card, view, size));
    if (!card.hasBack()) return front;
    showSide(card, view, CardSide::Back);
    TextFit::restoreBlocks(card, view);
    const QImage back = framed(PageRenderer::renderThumbnail(card, view, size));
    const int gap = size / 10;
    QImage both(front.width() + gap + back.width(), std::max(front.height(), back.height()),
                QImage::Format_ARGB32_Premultiplied);
    both.fill(Qt::transparent);
    QPainter p(&both);
    p.drawImage(0, 0, front);
    p.drawImage(front.width() + gap, 0, back);
    return both;
}
