#include "model/EditHistory.h"

#include <QUndoCommand>

namespace {

// Pictures compare by identity first; a picture read again compares by its pixels.
bool samePicture(const QImage &a, const QImage &b) { return a.cacheKey() == b.cacheKey() || a == b; }

bool sameView(const std::optional<FaceView> &a, const std::optional<FaceView> &b)
{
    if (!a || !b) return !a && !b;
    return samePicture(a->background, b->background) && samePicture(a->logo, b->logo) &&
           a->colourOption == b->colourOption && a->pictureRemoved == b->pictureRemoved &&
           a->textBlocks == b->textBlocks;
}

std::optional<QString> describePage(const CardSnapshot &before, const CardSnapshot &after)
{
    const CardPage &b = before.card.page, &a = after.card.page;
    if (b.width != a.width || b.height != a.height) return QStringLiteral("页面尺寸");
    if (!(b == a) || !samePicture(before.background, after.background) ||
        before.colourOption != after.colourOption || before.pictureRemoved != after.pictureRemoved)
        return QStringLiteral("页面背景");
    return std::nullopt;
}

std::optional<QString> describeLogo(const CardSnapshot &before, const CardSnapshot &after)
{
    const CardLogo &b = before.card.logo, &a = after.card.logo;
    if (b.img != a.img || !samePicture(before.logo, after.logo)) return QStringLiteral("更换标志");
    if (b.width != a.width || b.height != a.height) return QStringLiteral("标志大小");
    if (b.visible != a.visible) return a.visible ? QStringLiteral("显示标志") : QStringLiteral("隐藏标志");
    if (!(b == a)) return QStringLiteral("移动标志");
    return std::nullopt;
}

QString describeText(const CardText &b, const CardText &a)
{
    if (b.caption != a.caption) return QStringLiteral("输入文字");
    if (b.Font != a.Font) return QStringLiteral("文字字体");
    if (b.FontSize != a.FontSize) return QStringLiteral("文字字号");
    if (b.FontBold != a.FontBold || b.FontItalic != a.FontItalic) return QStringLiteral("文字式样");
    if (b.ForeColor != a.ForeColor) return QStringLiteral("文字颜色");
    if (b.visible != a.visible) return a.visible ? QStringLiteral("显示文字") : QStringLiteral("隐藏文字");
    return QStringLiteral("移动文字");
}

std::optional<QString> describeTexts(const CardSnapshot &before, const CardSnapshot &after)
{
    std::optional<QString> name;
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const CardText &b = before.card.texts[i], &a = after.card.texts[i];
        if (b == a && before.textBlocks[i] == after.textBlocks[i]) continue;
        const QString changed = describeText(b, a);
        // Several texts changed at once: one colour for all, or some other change.
        if (name && *name != changed) return QStringLiteral("修改文字");
        name = changed;
    }
    return name;
}

std::optional<QString> describeLine(const CardLine &b, const CardLine &a)
{
    if (b.width != a.width || b.height != a.height) return QStringLiteral("直线大小");
    if (b.bgColor != a.bgColor) return QStringLiteral("直线颜色");
    if (b.visible != a.visible) return a.visible ? QStringLiteral("显示直线") : QStringLiteral("隐藏直线");
    if (!(b == a)) return QStringLiteral("移动直线");
    return std::nullopt;
}

std::optional<QString> describeQrCode(const std::optional<CardQrCode> &b, const std::optional<CardQrCode> &a)
{
    if (b == a) return std::nullopt;
    if (!b || !a || b->visible != a->visible)
        return a && a->visible ? QStringLiteral("显示二维码") : QStringLiteral("隐藏二维码");
    if (b->size != a->size) return QStringLiteral("二维码大小");
    return QStringLiteral("移动二维码");
}

} // namespace

CardSnapshot CardSnapshot::of(const CardSession &session)
{
    const PageView &view = session.view;
    return {session.card,          view.background, view.logo, view.colourOption, view.pictureRemoved,
            view.textBlocks, view.otherSide};
}

void CardSnapshot::applyTo(CardSession &session) const
{
    PageView &view = session.view;
    session.card = card;
    view.background = background;
    view.logo = logo;
    view.colourOption = colourOption;
    view.pictureRemoved = pictureRemoved;
    view.textBlocks = textBlocks;
    view.otherSide = otherView;
}

bool CardSnapshot::operator==(const CardSnapshot &other) const
{
    return card == other.card && samePicture(background, other.background) && samePicture(logo, other.logo) &&
           colourOption == other.colourOption && pictureRemoved == other.pictureRemoved &&
           textBlocks == other.textBlocks && sameView(otherView, other.otherView);
}

// A back added or removed first (it changes the side shown too), then the page
// (a new page size moves the texts), then the objects; texts before the line,
// so recolouring all texts and the line is a text colour.
QString describeStep(const CardSnapshot &before, const CardSnapshot &after)
{
    if (before.card.hasBack() != after.card.hasBack())
        return after.card.hasBack() ? QStringLiteral("添加反面") : QStringLiteral("删除反面");
    if (auto kind = describePage(before, after)) return *kind;
    if (auto kind = describeLogo(before, after)) return *kind;
    if (auto kind = describeTexts(before, after)) return *kind;
    if (auto kind = describeLine(before.card.line, after.card.line)) return *kind;
    if (auto kind = describeQrCode(before.card.qrCode, after.card.qrCode)) return *kind;
    return QStringLiteral("修改名片");
}

// One step: the card before and after it. Pushing a step does not apply it
// again, the card is already in its after state.
class EditHistory::Step : public QUndoCommand
{
public:
    Step(CardSession &session, CardSnapshot before, CardSnapshot after, int run)
        : QUndoCommand(describeStep(before, after)), m_session(session), m_before(std::move(before)),
          m_after(std::move(after)), m_run(run)
    {
    }

    int id() const override { return 1; }
    void undo() override { m_before.applyTo(m_session); }
    void redo() override
    {
        if (m_applied) m_after.applyTo(m_session);
        m_applied = true;
    }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);
        if (next->m_run != m_run) return false;
        m_after = next->m_after;
        setText(describeStep(m_before, m_after));
        // A run that ends where it began (typed, then deleted again) is no step.
        setObsolete(m_after == m_before);
        return true;
    }

private:
    CardSession &m_session;
    CardSnapshot m_before;
    CardSnapshot m_after;
    int m_run;
    bool m_applied = false;
};

EditHistory::EditHistory(CardSession &session, QObject *parent)
    : QObject(parent), m_session(session), m_current(CardSnapshot::of(session))
{
    m_stack.setUndoLimit(kLimit);
    connect(&session, &CardSession::edited, this, &EditHistory::scheduleStep);
    connect(&session, &CardSession::saved, this, &EditHistory::takeSavedState);
    connect(&session, &CardSession::loaded, this, &EditHistory::restart);
}

EditHistory::~EditHistory() = default;

void EditHistory::scheduleStep()
{
    if (m_pending) return;
    m_pending = true;
    QMetaObject::invokeMethod(this, &EditHistory::recordPendingStep, Qt::QueuedConnection);
}

void EditHistory::recordPendingStep()
{
    if (m_pending) recordStep();
}

void EditHistory::recordStep()
{
    m_pending = false;
    CardSnapshot now = CardSnapshot::of(m_session);
    if (!(now == m_current)) {
        auto *step = new Step(m_session, m_current, now, m_run);
        m_current = std::move(now);
        m_stack.push(step);
        emit stepRecorded();
    }
    m_session.cardSaved = m_stack.isClean();
}

void EditHistory::catchUp()
{
    if (m_pending) {
        recordStep();
        return;
    }
    CardSnapshot now = CardSnapshot::of(m_session);
    if (now == m_current) return;
    if (m_session.cardSaved != m_stack.isClean())
        recordStep();
    else
        m_current = std::move(now);
}

void EditHistory::endRun() { ++m_run; }

void EditHistory::undo() { travel(true); }

void EditHistory::redo() { travel(false); }

void EditHistory::travel(bool back)
{
    catchUp();
    endRun();
    if (back ? !m_stack.canUndo() : !m_stack.canRedo()) {
        emit statusChanged(back ? QStringLiteral("没有可以撤销的操作") : QStringLiteral("没有可以重做的操作"));
        return;
    }
    const QString name = back ? m_stack.undoText() : m_stack.redoText();
    back ? m_stack.undo() : m_stack.redo();
    m_current = CardSnapshot::of(m_session);
    m_session.cardSaved = m_stack.isClean();
    emit restored();
    m_session.notifyPageChanged();
    emit statusChanged((back ? QStringLiteral("已撤销：") : QStringLiteral("已重做：")) + name);
}

void EditHistory::restart()
{
    m_pending = false;
    m_stack.clear();
    m_current = CardSnapshot::of(m_session);
    endRun();
}

void EditHistory::takeSavedState()
{
    catchUp();
    endRun();
    m_stack.setClean();
    m_session.cardSaved = true;
}
