#pragma once

#include "model/Colour.h"

#include <QString>
#include <optional>

class QWidget;

// Every message box, question, input box and colour dialog of the program goes
// through this service, so tests can answer them and read what was said.
// Texts use CR (character 13) between lines, as the messages are written.
class Dialogs
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // On a YesNo question Esc and the close button answer No; on a
    // YesNoDismissible one they answer Cancel, so the caller can do nothing.
    enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel, YesNoDismissible };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Dialogs() = default;

    virtual void show(const QString &text, const QString &caption, Icon icon) = 0;
    virtual Answer ask(const QString &text, const QString &caption, Icon icon, Buttons buttons) = 0;
    // The text entered, or nothing when the box was cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &caption,
                                         const QString &initial) = 0;
    // The colour chosen, or nothing when the dialog was cancelled.
    virtual std::optional<Colour::Value> chooseColor(Colour::Value initial) = 0;
};

// The service on screen: QMessageBox, QInputDialog and QColorDialog.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr);

    void setParent(QWidget *parent) { m_parent = parent; }

    void show(const QString &text, const QString &caption, Icon icon) override;
    Answer ask(const QString &text, const QString &caption, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString &prompt, const QString &caption,
                                 const QString &initial) override;
    std::optional<Colour::Value> chooseColor(Colour::Value initial) override;

private:
    QWidget *owner() const;

    QWidget *m_parent;
};
