#include "ui/panels/HelpView.h"

#include "ui/common/WebLink.h"
#include "model/Numeric.h"
#include "render/PageGeometry.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

constexpr double kMarginTwips = 80;
constexpr int kPadding = 24;       // between the edge and the contents
constexpr double kTitleBand = 46.0 / 380; // share of the height that the picture's title band takes
constexpr int kLinkHeight = 28;
constexpr int kTextInset = 10;     // between the backdrop and the text

const QColor kBackdrop{255, 255, 255, 150};
const QColor kTitleColour{0, 51, 153};

int marginPixels()
{
    return Numeric::roundToInt(kMarginTwips / PageGeometry::kScreenTwipsPerPixel);
}

int centred(int outer, int inner) { return (outer - inner) / 2; }

void enlargeFont(QWidget &widget, double factor, bool bold)
{
    QFont font = widget.font();
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    widget.setFont(font);
}

// Read-only, wrapped at its width, drawn straight onto the backdrop behind it.
void makeReadingArea(QPlainTextEdit &text)
{
    text.setReadOnly(true);
    text.setFrameShape(QFrame::NoFrame);
    text.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text.setPlainText(QStringLiteral("帮助信息"));
    QPalette palette = text.palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    text.setPalette(palette);
    text.viewport()->setAutoFillBackground(false);
    enlargeFont(text, 1.15, false);
}

QString displayText(QString settingText)
{
    return settingText.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
}

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
    enlargeFont(*m_title, 1.4, true);
    setCaptionColour(*m_title, kTitleColour);
    m_backdrop->setObjectName(QStringLiteral("help_info(1)"));
    fillBackground(*m_backdrop, kBackdrop);
    m_text->setObjectName(QStringLiteral("help_info(2)"));
    makeReadingArea(*m_text);
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

// The title in the picture's title band, the link along the bottom, and between
// them the text on its backdrop, both centred across the page.
void HelpView::layOutContents()
{
    const QRect inner = contentsRect();
    const int width = inner.width() - 2 * kPadding;
    const int band = Numeric::roundToInt(inner.height() * kTitleBand);
    m_title->setGeometry(kPadding, 0, width, band);
    m_more->setGeometry(kPadding, inner.height() - kPadding - kLinkHeight + 6, width, kLinkHeight);

    const int top = band + kPadding / 2;
    const int bottom = m_more->y() - 4;
    m_backdrop->setGeometry(centred(inner.width(), width), top, width, bottom - top);
    const int textWidth = width - 2 * kTextInset;
    m_text->setGeometry(centred(inner.width(), textWidth), top + kTextInset, textWidth,
                        bottom - top - 2 * kTextInset);
}
