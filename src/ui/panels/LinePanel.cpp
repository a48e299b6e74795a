#include "ui/panels/LinePanel.h"

#include "model/CardSession.h"
#include "model/Numeric.h"
#include "render/PageObjects.h"
#include "render/PageRenderer.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/page/PageWidget.h"
#include "ui/panels/ColourPicker.h"
#include "ui/panels/PaletteStrip.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <algorithm>
#include <limits>

namespace LineSizing {

double extent(Direction direction, QSizeF page)
{
    return direction == Direction::Thickness ? page.height() : page.width();
}

int thumbLeft(const Track &track, double size, double extent)
{
    const double left = track.lowest + size * track.length / (extent - kMinimum);
    return std::clamp(Numeric::roundToInt(left), track.lowest, track.highest());
}

double sizeAt(const Track &track, int left, double extent)
{
    return (extent - kMinimum) / track.length * (left - track.lowest);
}

double shownSize(Direction direction, QSizeF line)
{
    switch (direction) {
    case Direction::Length: return line.width();
    case Direction::Thickness: return line.height();
    case Direction::Both: break;
    }
    return std::min(line.width(), line.height());
}

Dragged drag(Direction direction, const Track &track, int left, double laggedSize, QSizeF line, QSizeF page)
{
    const bool atLowest = left <= track.lowest;
    const bool atHighest = !atLowest && left >= track.highest();
    const double size = laggedSize > 0 ? laggedSize : kMinimum;
    Dragged dragged{atLowest ? track.lowest : atHighest ? track.highest() : left, line};
    if (direction != Direction::Thickness)
        dragged.line.setWidth(atLowest ? kMinimum : atHighest ? page.width() : size);
    if (direction != Direction::Length)
        dragged.line.setHeight(atLowest ? kMinimum : atHighest ? page.height() : size);
    return dragged;
}

std::optional<double> typedMillimetres(const QString &text)
{
    const auto value = Numeric::parseNumber(text);
    if (!value || *value < 0) return std::nullopt;
    if (Numeric::roundHalfEven(*value) > std::numeric_limits<qint16>::max()) return std::nullopt;
    return value;
}

} // namespace LineSizing

using LineSizing::Direction;

namespace {

constexpr int kMargin = 10;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;
constexpr const char16_t *kDirectionCaptions[] = {u"水平方向", u"垂直方向", u"同时"};

// A caption that wraps when it is wider than its place.
QLabel *caption(const QString &name, const QString &text, QRect geometry, QWidget *parent)
{
    QLabel *label = Controls::label(name, text, geometry, parent);
    label->setWordWrap(true);
    return label;
}

QLabel *picture(const QString &name, const QString &file, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(QStringLiteral(":/pictures/%1.png").arg(file)));
    label->resize(label->pixmap().size());
    return label;
}

} // namespace

LinePanel::LinePanel(CardSession &session, PageWidget &page, Dialogs &dialogs, QWidget *parent)
    : SidePanel(7, QStringLiteral("直线设置"), parent), m_session(session), m_page(page), m_dialogs(dialogs)
{
    buildSizeFields();
    buildSlider();
    buildColour();
    buildHideBox();
}

void LinePanel::buildSizeFields()
{
    const int top = contentTop() + 4;
    auto *label = caption(QStringLiteral("lab_line(10)"), QStringLiteral("长度：         宽度："),
                          {kMargin + 2, top, kInner, 20}, this);
    // Each field stands under its own word of the one caption.
    const int secondColumn = label->fontMetrics().horizontalAdvance(label->text().left(label->text().indexOf(u'宽')));
    for (int i = 0; i < 2; ++i) {
        m_fields[std::size_t(i)] =
            Controls::place<QLineEdit>(QStringLiteral("txt_LSize(%1)").arg(i),
                                       {kMargin + 2 + i * secondColumn, top + 22, std::min(64, secondColumn - 10), 24}, this);
        connect(m_fields[std::size_t(i)], &QLineEdit::textChanged, this, [this, i] { takeSize(i); });
        connect(m_fields[std::size_t(i)], &QLineEdit::textEdited, &m_session, &CardSession::markEdited);
    }
}

void LinePanel::buildSlider()
{
    auto *frame = new QGroupBox(QStringLiteral("直线大小的快速微调："), this);
    frame->setObjectName(QStringLiteral("line_frm(0)"));
    frame->setGeometry(kMargin, contentTop() + 60, kInner, 108);
    auto *directions = new QButtonGroup(this);
    const int widths[] = {72, 72, 52};
    for (int i = 0, x = 4; i < 3; x += widths[i], ++i) {
        QRadioButton *option = Controls::option(QStringLiteral("opt_lineFX(%1)").arg(i),
                                                QString::fromUtf16(kDirectionCaptions[i]), {x, 22, widths[i], 22}, frame);
        directions->addButton(option, i);
        m_directions[std::size_t(i)] = option;
    }
    m_directions[0]->setChecked(true);
    connect(directions, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) placeThumb();
    });
    caption(QStringLiteral("lab_line(1)"), QStringLiteral("微调开始(按住黑三角进行拖移)："), {6, 48, kInner - 12, 20},
            frame);
    m_track = picture(QStringLiteral("HS_r"), QStringLiteral("slider_track"), frame);
    m_track->move((kInner - m_track->width()) / 2, 76);
    m_thumb = picture(QStringLiteral("HS"), QStringLiteral("slider_thumb"), frame);
    m_thumb->move(sliderTrack().lowest, m_track->geometry().bottom() + 2);
    m_thumb->setMouseTracking(true);
    m_thumb->setCursor(Qt::SizeHorCursor);
    m_thumb->installEventFilter(this);
}

void LinePanel::buildColour()
{
    const int top = contentTop() + 182;
    caption(QStringLiteral("lab_line(0)"), QStringLiteral("快速确定直线的颜色："), {kMargin + 2, top, kInner, 20}, this);
    m_strip = new PaletteStrip(2, this);
    m_strip->move(kMargin, top + 22);
    connect(m_strip, &PaletteStrip::colourPicked, this, &LinePanel::colourLine);
    m_swatch = new ColourSwatch(QStringLiteral("lab_line(3)"), Colour::kWhite, this);
    m_swatch->setGeometry(kMargin, top + 46, 44, 24);
    m_button = new CustomColourButton(3, m_dialogs, this);
    m_button->setGeometry(kMargin + 52, top + 46, 110, 24);
    connect(m_button, &CustomColourButton::colourChosen, this, &LinePanel::colourLine);
}

void LinePanel::buildHideBox()
{
    const int top = contentTop() + 266;
    m_hide = Controls::checkBox(QStringLiteral("chk_ShowLine"), QStringLiteral("取消直线的当前名片页面上的显示"),
                                {kMargin, top, kInner, 22}, this);
    connect(m_hide, &QCheckBox::toggled, this, &LinePanel::hideLine);
    auto *tip = caption(QStringLiteral("tip_info(0)"),
                        QStringLiteral("应用提示：宽度设为1毫米即是一条细线，长度设为1毫米则是一条竖线；"
                                       "选择“同时”后按住黑三角拖移，可以得到一个正方形的色块，"
                                       "拖到最右端即铺满整个页面，可以用作名片的底色块。"),
                        {kMargin + 2, top + 34, kInner - 4, 110}, this);
    tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// ---- Opening and the slider -------------------------------------------------

void LinePanel::openForLine()
{
    showSizes();
    loadLine();
}

void LinePanel::showLine()
{
    {
        // Shown as they are: writing the fields must not size the line again.
        const QSignalBlocker length(m_fields[0]), thickness(m_fields[1]);
        showSizes();
    }
    loadLine();
}

void LinePanel::loadLine()
{
    placeThumb();
    refreshSwatch();
    {
        // The box shows whether the line is hidden; opening the panel changes nothing.
        const QSignalBlocker quiet(m_hide);
        m_hide->setChecked(!m_session.card.line.visible);
    }
    enableSizing(m_session.card.line.visible);
    emit statusChanged(QStringLiteral("直线：直线经过合适的设置，可以对您的名片产生有意想不到的装饰效果…"));
}

void LinePanel::refreshSwatch() { m_swatch->setColour(m_session.card.line.bgColor); }

Direction LinePanel::direction() const
{
    if (m_directions[1]->isChecked()) return Direction::Thickness;
    if (m_directions[2]->isChecked()) return Direction::Both;
    return Direction::Length;
}

LineSizing::Track LinePanel::sliderTrack() const
{
    // The thumb's centre runs from the track's first column to its last.
    return {m_track->x() - m_thumb->width() / 2, m_track->width() - 1};
}

QSizeF LinePanel::pageSize() const { return PageRenderer::pageTwips(m_session.card); }

void LinePanel::placeThumb()
{
    const CardLine &line = m_session.card.line;
    const Direction d = direction();
    const double size = LineSizing::shownSize(d, {line.width, line.height});
    m_thumb->move(LineSizing::thumbLeft(sliderTrack(), size, LineSizing::extent(d, pageSize())), m_thumb->y());
}

bool LinePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_thumb) return SidePanel::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        pressThumb(static_cast<QMouseEvent *>(event)->position());
        return true;
    }
    if (event->type() == QEvent::MouseMove) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        dragThumb(mouse->position(), mouse->buttons());
        return true;
    }
    // A drag of the thumb is one edit, from press to release.
    if (event->type() == QEvent::MouseButtonRelease) {
        m_session.markEdited();
        return true;
    }
    return SidePanel::eventFilter(watched, event);
}

void LinePanel::pressThumb(QPointF pointer) { m_session.dragAnchor = pointer * PageWidget::kTwipsPerPixel; }

void LinePanel::dragThumb(QPointF pointer, Qt::MouseButtons buttons)
{
    CardLine &line = m_session.card.line;
    const Direction d = direction();
    const LineSizing::Track track = sliderTrack();
    // The size of the thumb's place before it moves: the line follows one move behind.
    const double lagged = LineSizing::sizeAt(track, m_thumb->x(), LineSizing::extent(d, pageSize()));
    if (buttons == Qt::LeftButton) {
        const double anchor = m_session.dragAnchor.x() / PageWidget::kTwipsPerPixel;
        const int left = Numeric::roundToInt(m_thumb->x() - anchor + pointer.x());
        const auto dragged = LineSizing::drag(d, track, left, lagged, {line.width, line.height}, pageSize());
        m_thumb->move(dragged.thumbLeft, m_thumb->y());
        line.width = float(dragged.line.width());
        line.height = float(dragged.line.height());
        lineChanged();
    }
    showSizes();
}

// ---- The size fields ----------------------------------------------------------

void LinePanel::showSizes()
{
    const CardLine &line = m_session.card.line;
    m_fields[0]->setText(QString::number(Numeric::twipsToMm(line.width)));
    m_fields[1]->setText(QString::number(Numeric::twipsToMm(line.height)));
}

// Field 0 sizes the line's length along the page width, field 1 its
// thickness along the page height.
void LinePanel::takeSize(int index)
{
    CardLine &line = m_session.card.line;
    const bool length = index == 0;
    float &size = length ? line.width : line.height;
    float &start = length ? line.left : line.top;
    const double page = length ? pageSize().width() : pageSize().height();
    const int maximum = Numeric::twipsToMm(page);
    const auto mm = LineSizing::typedMillimetres(m_fields[std::size_t(index)]->text());
    if (!mm) {
        refuseSize(index, size, maximum);
        return;
    }
    if (Numeric::roundHalfEven(*mm) >= maximum) {
        size = float(page);
        m_fields[std::size_t(index)]->setText(QString::number(maximum));
        start = 0;
    } else {
        size = float(Numeric::mmToTwips(*mm));
        // A thicker line that no longer fits below its top moves up onto the bottom edge;
        // a longer one may reach past the right edge.
        if (!length && page - start <= size) start = float(page - size);
    }
    lineChanged();
}

void LinePanel::refuseSize(int index, double current, int maximum)
{
    m_fields[std::size_t(index)]->setText(QString::number(Numeric::twipsToMm(current)));
    m_dialogs.show(QStringLiteral("请请输入%1内的数值！").arg(maximum), QStringLiteral("操作提示："),
                   Dialogs::Icon::Warning);
}

void LinePanel::lineChanged()
{
    m_session.notifyPageChanged();
    m_page.showSelectionFrame(PageObjects::kLine);
}

// ---- Colour and hiding ----------------------------------------------------------

void LinePanel::colourLine(Colour::Value colour)
{
    m_session.card.line.bgColor = colour;
    m_swatch->setColour(colour);
    m_session.markEdited();
    m_session.notifyPageChanged();
}

void LinePanel::enableSizing(bool enabled)
{
    m_thumb->setEnabled(enabled);
    for (QLineEdit *field : m_fields) field->setEnabled(enabled);
}

void LinePanel::hideLine(bool hidden)
{
    m_session.card.line.visible = !hidden;
    if (hidden) m_page.selectionFrame()->hide();
    enableSizing(!hidden);
    m_session.markEdited();
    m_session.notifyPageChanged();
}
