#pragma once

#include "ui/common/Dialogs.h"

#include <QList>
#include <QString>
#include <deque>

// The dialog service for tests: records every message, question, input box and
// colour dialog, and gives the answers queued beforehand. With no answer queued
// a question is answered No, an input box and a colour dialog are cancelled, and
// the call is counted in `unanswered` so a test can tell.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind { Message, Question, Input, Colour };
    struct Record {
        Kind kind;
        QString text;
        QString caption;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };

    QList<Record> records;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<std::optional<Colour::Value>> colours;
    int unanswered = 0;

    void show(const QString &text, const QString &caption, Icon icon) override
    {
        records.append({Kind::Message, text, caption, icon, Buttons::Ok});
    }

    Answer ask(const QString &text, const QString &caption, Icon icon, Buttons buttons) override
    {
        records.append({Kind::Question, text, caption, icon, buttons});
        const Answer answer = next(answers, Answer::No);
        // Esc on a plain Yes/No question presses No, as on screen.
        return buttons == Buttons::YesNo && answer == Answer::Cancel ? Answer::No : answer;
    }

    std::optional<QString> input(const QString &prompt, const QString &caption, const QString &) override
    {
        records.append({Kind::Input, prompt, caption});
        return next(inputs, std::optional<QString>());
    }

    std::optional<Colour::Value> chooseColor(Colour::Value) override
    {
        records.append({Kind::Colour, {}, {}});
        return next(colours, std::optional<Colour::Value>());
    }

    const Record &last() const { return records.last(); }
    void clear() { records.clear(); }

private:
    template <typename T>
    T next(std::deque<T> &queue, const T &fallback)
    {
        if (queue.empty()) ++unanswered;
        T value = queue.empty() ? fallback : std::move(queue.front());
        if (!queue.empty()) queue.pop_front();
        return value;
    }
};
