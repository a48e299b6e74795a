#pragma once

#include "model/CardDocument.h"
#include "ui/common/SidePanel.h"

#include <QSizeF>
#include <array>
#include <optional>

class CardSession;
class ColourSwatch;
class CustomColourButton;
class Dialogs;
class PageWidget;
class PaletteStrip;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The arithmetic of the line panel, apart from any widget: the slider's
// mapping between thumb and size, what a drag of the thumb makes of the line,
// and which typed sizes the size fields take. Sizes are twips, thumb
// positions pixels.
namespace LineSizing {

// The smallest size the slider gives: one millimetre.
inline constexpr double kMinimum = 56.7;

// Which size the slider drives: the length, the thickness, or both (a square).
enum class Direction { Length, Thickness, Both };

// The thumb's left edge runs from lowest (size 0) to lowest + length (the
// largest size below the page's extent), its centre along the track.
struct Track {
    int lowest = 0;
    int length = 1;
    int highest() const { return lowest + length; }
};

// The page extent the slider spans: inner width, or inner height for the thickness.
double extent(Direction direction, QSizeF page);
// The thumb's left edge for size s, held on the track.
int thumbLeft(const Track &track, double size, double extent);
// The size the thumb at left stands for.
double sizeAt(const Track &track, int left, double extent);
// The size the thumb shows for a line: its length, its thickness, or the smaller of both.
double shownSize(Direction direction, QSizeF line);

// A drag of the thumb to left: the thumb held on the track and the line's new
// size. laggedSize is the size of the thumb's place before this move, so the
// line follows the thumb one move behind; at either end of the track the line
// takes one millimetre or the page's full extent.
struct Dragged {
    int thumbLeft;
    QSizeF line;
};
Dragged drag(Direction direction, const Track &track, int left, double laggedSize, QSizeF line, QSizeF page);

// The millimetres a size field takes from text, or nothing for text it
// refuses: no number, a negative number, or one whose whole millimetres do
// not fit the field's 16 bits.
std::optional<double> typedMillimetres(const QString &text);

} // namespace LineSizing

// Panel 7, the line: length and thickness in whole millimetres, the slider
// with its three directions, the line's colour from strip 2 or button 3, and
// the box that hides the line. Writing a size field from code runs its rule,
// as typing does; the rule snaps the line to whole millimetres.
class LinePanel : public SidePanel
{
    Q_OBJECT
public:
    LinePanel(CardSession &session, PageWidget &page, Dialogs &dialogs, QWidget *parent = nullptr);

    // Fills the size fields from the line (snapping it to whole millimetres)
    // and loads the panel; the main window shows the panel first.
    void openForLine();
    // Shows the line as it is, snapping nothing (after an undo or redo).
    void showLine();
    // The swatch takes the line's colour again.
    void refreshSwatch();

    QLineEdit *sizeField(int index) const { return m_fields[std::size_t(index)]; }
    QRadioButton *directionOption(int index) const { return m_directions[std::size_t(index)]; }
    QLabel *track() const { return m_track; }
    QLabel *thumb() const { return m_thumb; }
    ColourSwatch *swatch() const { return m_swatch; }
    PaletteStrip *strip() const { return m_strip; }
    CustomColourButton *colourButton() const { return m_button; }
    QCheckBox *hideBox() const { return m_hide; }

signals:
    void statusChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSizeFields();
    void buildSlider();
    void buildColour();
    void buildHideBox();
    LineSizing::Direction direction() const;
    LineSizing::Track sliderTrack() const;
    QSizeF pageSize() const;
    // Places the thumb for the line, shows its colour and says what the line is for.
    void loadLine();
    void placeThumb();
    void pressThumb(QPointF pointer);
    void dragThumb(QPointF pointer, Qt::MouseButtons buttons);
    void showSizes();
    void takeSize(int index);
    void refuseSize(int index, double current, int maximum);
    void enableSizing(bool enabled);
    void lineChanged();
    void colourLine(Colour::Value colour);
    void hideLine(bool hidden);

    CardSession &m_session;
    PageWidget &m_page;
    Dialogs &m_dialogs;
    std::array<QLineEdit *, 2> m_fields{};
    std::array<QRadioButton *, 3> m_directions{};
    QLabel *m_track = nullptr;
    QLabel *m_thumb = nullptr;
    ColourSwatch *m_swatch = nullptr;
    PaletteStrip *m_strip = nullptr;
    CustomColourButton *m_button = nullptr;
    QCheckBox *m_hide = nullptr;
};
