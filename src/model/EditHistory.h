#pragma once

#include "model/CardSession.h"

#include <QObject>
#include <QUndoStack>

// The card data an undo step puts back: the document, both sides and the side
// shown, and what the page view holds of the card (its pictures, colour option,
// removed picture and text blocks, of either side). Display options such as crop marks or the logo in front are not part
// of it, so changing them is no step.
struct CardSnapshot {
    CardDocument card;
    QImage background;
    QImage logo;
    BackgroundKind colourOption = BackgroundKind::SolidColour;
    bool pictureRemoved = false;
    std::array<std::optional<QSizeF>, kTextCount> textBlocks;
    // The view of the side not shown, when the card has a back.
    std::optional<FaceView> otherView;

    static CardSnapshot of(const CardSession &session);
    void applyTo(CardSession &session) const;
    bool operator==(const CardSnapshot &other) const;
};

// What a step did, as the status line names it: "移动文字", "页面尺寸" and so on.
QString describeStep(const CardSnapshot &before, const CardSnapshot &after);

// One undo history for the card being edited. Every markEdited() of the session
// becomes a step once the event that made it has been handled, so one action
// that marks the card several times is one step, and a card that ends as it was
// makes no step. The steps of one run join into one (typing in one box, a
// series of nudges, a drag from press to release); endRun() ends it. The session's
// cardSaved follows the history: it is true exactly at the state last opened,
// started or saved.
class EditHistory : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLimit = 500;

    explicit EditHistory(CardSession &session, QObject *parent = nullptr);
    ~EditHistory() override;

    // Brings the history up to the card before an action: a marked edit becomes
    // its step; a change nobody marked (the line snapped to whole millimetres
    // when its panel opens) becomes part of the state the next step starts
    // from, unless cardSaved was cleared for it outside the history.
    void catchUp();
    void endRun();
    void undo();
    void redo();
    const QUndoStack &stack() const { return m_stack; }

signals:
    // The card was put back to an earlier or later state; the page is told next.
    void restored();
    // What was undone or redone, for the status line.
    void statusChanged(const QString &text);
    // A new edit became a step.
    void stepRecorded();

private:
    class Step;
    // Takes what changed since the last step as a step now.
    void recordStep();
    void scheduleStep();
    void recordPendingStep();
    void travel(bool back);
    void restart();
    void takeSavedState();

    CardSession &m_session;
    QUndoStack m_stack;
    // The card as the current step left it.
    CardSnapshot m_current;
    int m_run = 0;
    bool m_pending = false;
};
