#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QRect>
#include <QString>

// Controls as the windows and panels build them: with their control name as
// object name, at a fixed place in their parent.
namespace Controls {

template <typename Control, typename... Args>
Control *place(const QString &name, QRect geometry, QWidget *parent, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

inline QLabel *label(const QString &name, const QString &text, QRect geometry, QWidget *parent)
{
    return place<QLabel>(name, geometry, parent, text);
}

inline QCheckBox *checkBox(const QString &name, const QString &text, QRect geometry, QWidget *parent)
{
    return place<QCheckBox>(name, geometry, parent, text);
}

inline QRadioButton *option(const QString &name, const QString &text, QRect geometry, QWidget *parent)
{
    return place<QRadioButton>(name, geometry, parent, text);
}

} // namespace Controls
