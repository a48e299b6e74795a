#include "HelpView.h"

#include "WebLink.h"
#include "card/Numeric.h"
#include "render/PageGeometry.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

constexpr double kMarginTwips = 80;
constexpr int kPadding = 24;       // between the edge of the page and its contents
constexpr int kTitleHeight = 32;
constexpr int kLinkHeight = 28;
constexpr int kTextInset = 10;     // between the backdrop and the text

const QColor kBackdrop{255, 255, 255, 215};
const QColor kTitleColour{0, 51, 153};

int marginPixels()
{
    return Numeric::roundToInt(kMarginTwips / PageGeometry::kScreenTwipsPerPixel);
}

int centred(int outer, int inner) { return (outer - inner) / 2; }

} // namespace

HelpView::HelpView(QWidget *parent)
    : QFrame(parent),
      m_picture(QStringLiteral(":/pictures/help_bg.png")),
      m_title(new QLabel(this)),
      m_backdrop(new QLabel(this)),
      m_text(new QPlainTextEdit(this)),
      m_more(new WebLink(QStringLiteral("goWww(1)"),
                         QStringLiteral("更多名片模板及图片素材，请访问 %1 >>")
                             .arg(webSiteHost()),
                         this))
{
    setObjectName(QStringLiteral("help_bg"));
    usePanelColour(*this);

    m_title->setObjectName(QStringLiteral("help_info(0)"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    setCaptionColour(*m_title, kTitleColour);

    m_backdrop->setObjectName(QStringLiteral("help_info(1)"));
    m_backdrop->setAutoFillBackground(true);
    QPalette backdrop = m_backdrop->palette();
    backdrop.setColor(QPalette::Window, kBackdrop);
    m_backdrop->setPalette(backdrop);

    m_text->setObjectName(QStringLiteral("help_info(2)"));
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setPlainText(QStringLiteral("帮助信息"));
    QPalette text = m_text->palette();
    text.setColor(QPalette::Base, Qt::transparent);
    m_text->setPalette(text);
    m_text->viewport()->setAutoFillBackground(false);
    QFont textFont = m_text->font();
    textFont.setPointSizeF(textFont.pointSizeF() * 1.15);
    m_text->setFont(textFont);

    m_more->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    hide();
}

void HelpView::placeOver(const QSize &workspaceInner)
{
    const int margin = marginPixels();
    const QSize size(workspaceInner.width() - 2 * margin, workspaceInner.height() - 2 * margin);
    const QPoint origin = parentWidget() ? parentWidget()->contentsRect().topLeft() : QPoint();
    setGeometry(QRect(origin + QPoint(centred(workspaceInner.width(), size.width()),
                                      centred(workspaceInner.height(), size.height())),
                      size));
}

void HelpView::setTitle(const QString &title) { m_title->setText(title); }

void HelpView::setText(const QString &settingText) { m_text->setPlainText(displayText(settingText)); }

QString HelpView::displayText(const QString &settingText)
{
    QString text = settingText;
    return text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

void HelpView::paintEvent(QPaintEvent *event)
{
    if (!m_picture.isNull()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_picture);
    }
    QFrame::paintEvent(event);
}

void HelpView::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layOutContents();
}

// The title along the top, the link along the bottom, and between them the
// text on its backdrop, both centred across the page.
void HelpView::layOutContents()
{
    const QRect inner = contentsRect();
    const int width = inner.width() - 2 * kPadding;
    m_title->setGeometry(kPadding, kPadding - 6, width, kTitleHeight);
    m_more->setGeometry(kPadding, inner.height() - kPadding - kLinkHeight + 6, width, kLinkHeight);

    const int top = kPadding + kTitleHeight + 4;
    const int bottom = m_more->y() - 4;
    m_backdrop->setGeometry(centred(inner.width(), width), top, width, bottom - top);
    const int textWidth = width - 2 * kTextInset;
    m_text->setGeometry(centred(inner.width(), textWidth), top + kTextInset, textWidth,
                        bottom - top - 2 * kTextInset);
}
