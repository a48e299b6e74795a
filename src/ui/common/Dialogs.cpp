#include "ui/common/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon toQtIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::None: return QMessageBox::NoIcon;
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Warning: return QMessageBox::Warning;
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok: return QMessageBox::Ok;
    case Dialogs::Buttons::YesNo:
    case Dialogs::Buttons::YesNoDismissible: return QMessageBox::Yes | QMessageBox::No;
    case Dialogs::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Dialogs::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

Dialogs::Answer fromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Yes: return Dialogs::Answer::Yes;
    case QMessageBox::No: return Dialogs::Answer::No;
    case QMessageBox::Ok: return Dialogs::Answer::Ok;
    default: return Dialogs::Answer::Cancel;
    }
}

// Lines of a message are joined by CR; a label breaks lines at LF.
QString forDisplay(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

QtDialogs::QtDialogs(QWidget *parent) : m_parent(parent) {}

// A message belongs to the window the person works in: a secondary window
// disables the main window, and a box owned by a disabled window takes no input.
QWidget *QtDialogs::owner() const
{
    QWidget *active = QApplication::activeWindow();
    return active ? active : m_parent;
}

void QtDialogs::show(const QString &text, const QString &caption, Icon icon)
{
    ask(text, caption, icon, Buttons::Ok);
}

Dialogs::Answer QtDialogs::ask(const QString &text, const QString &caption, Icon icon, Buttons buttons)
{
    QMessageBox box(toQtIcon(icon), caption, forDisplay(text), toQtButtons(buttons), owner());
    // A hidden Cancel button takes Esc and the close button, which would otherwise press No.
    if (buttons == Buttons::YesNoDismissible) box.addButton(QMessageBox::Cancel)->hide();
    return fromQtButton(box.exec());
}

std::optional<QString> QtDialogs::input(const QString &prompt, const QString &caption, const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), caption, forDisplay(prompt), QLineEdit::Normal,
                                               initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<Colour::Value> QtDialogs::chooseColor(Colour::Value initial)
{
    // Every opening starts with black custom colours. Qt's own dialog keeps the
    // row of custom colours on every desktop.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::black);
    const QColor chosen = QColorDialog::getColor(Colour::toQColor(initial), owner(), QString(),
                                                 QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return std::nullopt;
    return Colour::fromQColor(chosen);
}
