#include "PageWidget.h"

#include "PageGeometry.h"
#include "PageRenderer.h"

#include <QPainter>
#include <QPaintEvent>

namespace {

// A page object's stand-in: it draws nothing (the page draws every object in
// its stacking order) but takes the object's name, box and mouse events.
QWidget *objectStandIn(const QString &name, QWidget *page)
{
    auto *w = new QWidget(page);
    w->setObjectName(name);
    w->setAttribute(Qt::WA_NoSystemBackground);
    return w;
}

QWidget *colouredLine(const QString &name, const QColor &colour, QWidget *page)
{
    auto *w = new QWidget(page);
    w->setObjectName(name);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->hide();
    return w;
}

// A red outline that lets clicks through to the object beneath.
class SelectionFrame : public QWidget
{
public:
    explicit SelectionFrame(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("sp_icon"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::red, 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

} // namespace

PageWidget::PageWidget(CardSession &session, QWidget *parent) : QWidget(parent), m_session(session)
{
    setObjectName(QStringLiteral("Card"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_line = objectStandIn(QStringLiteral("info_line"), this);
    m_logo = objectStandIn(QStringLiteral("info_logo"), this);
    for (std::size_t i = 0; i < kTextCount; ++i)
        m_texts[i] = objectStandIn(QStringLiteral("info_txt(%1)").arg(i), this);
    for (int i = 0; i < 4; ++i)
        m_guides[std::size_t(i)] = colouredLine(QStringLiteral("r_Line(%1)").arg(i), Qt::red, this);
    m_frame = new SelectionFrame(this);
    connect(&m_session, &CardSession::pageChanged, this, &PageWidget::syncToCard);
    syncToCard();
}

QRect PageWidget::pixels(const QRectF &twips) const
{
    const double s = 1.0 / kTwipsPerPixel;
    return QRectF(twips.x() * s, twips.y() * s, twips.width() * s, twips.height() * s).toRect();
}

void PageWidget::syncToCard()
{
    const QSize size = PageGeometry::pixelSize(PageRenderer::pageTwips(m_session.card), kTwipsPerPixel);
    if (size != this->size()) resize(size);
    placeObjects();
    stackObjects();
    borderBJ();
    update();
}

void PageWidget::placeObjects()
{
    const CardDocument &card = m_session.card;
    const QImage device = background();
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const CardText &t = card.texts[i];
        m_texts[i]->setGeometry(pixels(PageRenderer::textBox(t, m_session.view.textBlocks[i], &device,
                                                             kTwipsPerPixel)));
        m_texts[i]->setVisible(t.visible);
    }
    const CardLogo &logo = card.logo;
    m_logo->setGeometry(pixels({logo.left, logo.top, logo.width, logo.height}));
    m_logo->setVisible(logo.visible);
    const CardLine &line = card.line;
    m_line->setGeometry(pixels({line.left, line.top, line.width, line.height}));
    m_line->setVisible(line.visible);
}

void PageWidget::stackObjects()
{
    // Bottom to top as drawn: line, logo behind the texts or in front of them.
    m_line->lower();
    if (m_session.view.logoInFront) {
        m_logo->raise();
    } else {
        m_logo->lower();
        m_line->lower();
    }
    for (QWidget *guide : m_guides) guide->raise();
    m_frame->raise();
}

void PageWidget::borderBJ()
{
    const auto guides = PageGeometry::trimGuides(PageRenderer::pageTwips(m_session.card));
    for (std::size_t i = 0; i < guides.size(); ++i) {
        const QRect r = pixels(QRectF(guides[i].from, guides[i].to));
        m_guides[i]->setGeometry(r.x(), r.y(), std::max(1, r.width()), std::max(1, r.height()));
    }
}

void PageWidget::hide_borderBJ()
{
    for (QWidget *guide : m_guides) guide->hide();
}

PageWidget::BackgroundKey PageWidget::backgroundKey() const
{
    const CardPage &p = m_session.card.page;
    const PageView &v = m_session.view;
    return {size(), p.isBg, p.bgColor, p.jbColor1, p.jbColor2, p.jbJiaoDu, v.shownBackground(p), v.background.cacheKey()};
}

const QImage &PageWidget::background() const
{
    const BackgroundKey key = backgroundKey();
    if (m_background.isNull() || !(key == m_backgroundKey)) {
        m_background = PageRenderer::renderBackground(m_session.card, m_session.view, kTwipsPerPixel);
        m_backgroundKey = key;
    }
    return m_background;
}

QImage PageWidget::pageImage() const
{
    QImage image = background().copy();
    QPainter p(&image);
    PageRenderer::paintObjects(p, m_session.card, m_session.view, kTwipsPerPixel);
    return image;
}

void PageWidget::paintEvent(QPaintEvent *event)
{
    // Drawn off screen at the page's own 96 dpi, so texts keep their size
    // against the page whatever the screen's resolution.
    QImage image = background().copy(event->rect());
    image.setOffset(event->rect().topLeft());
    {
        QPainter p(&image);
        p.translate(-event->rect().topLeft());
        PageRenderer::paintObjects(p, m_session.card, m_session.view, kTwipsPerPixel);
    }
    QPainter(this).drawImage(event->rect().topLeft(), image);
}
