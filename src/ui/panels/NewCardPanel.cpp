#include "ui/panels/NewCardPanel.h"

#include "ui/common/Controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

NewCardPanel::NewCardPanel(QWidget *parent) : SidePanel(0, QStringLiteral("新建名片"), parent)
{
    auto *picture = Controls::label(QStringLiteral("img_new"), QString(), {10, contentTop() + 4, kWidth - 20, 124}, this);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/new_card.png")));
    picture->setAlignment(Qt::AlignCenter);

    auto *explain = Controls::label(QStringLiteral("lab_new(0)"),
                                    QStringLiteral("页面上的名片就是您的启动名片模板：每次启动软件或新建名片时，"
                                                   "都从它开始编辑。\n\n您可以把任何一张保存过的名片设置为新的启动名片，"
                                                   "以后就从您自己的模板开始。"),
                                    {14, contentTop() + 140, kWidth - 28, 130}, this);
    explain->setWordWrap(true);

    Controls::label(QStringLiteral("lab_new(1)"), QStringLiteral("想更换启动名片模板吗？"),
                    {14, contentTop() + 280, kWidth - 28, 22}, this);

    m_setStart = Controls::place<QPushButton>(QStringLiteral("cmd_setStart"), {14, contentTop() + 306, kWidth - 28, 28},
                                              this, QStringLiteral(">>是的，我想更换它…"));
    connect(m_setStart, &QPushButton::clicked, this, &NewCardPanel::chooseStartupCard);

    m_restore = Controls::checkBox(QStringLiteral("chk_new"), QStringLiteral("恢复系统默认的名片"),
                                   {14, contentTop() + 346, kWidth - 28, 24}, this);
    m_restore->hide();

    auto *fromTemplate = Controls::place<QPushButton>(QStringLiteral("cmd_fromTemplate"),
                                                      {14, contentTop() + 380, kWidth - 28, 28}, this,
                                                      QStringLiteral(">>从模板开始…"));
    connect(fromTemplate, &QPushButton::clicked, this, &NewCardPanel::chooseTemplate);
    // Unticking happens when the default card is put back; only a tick asks for it.
    connect(m_restore, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked) emit restoreDefaultTicked();
    });
}

void NewCardPanel::showRestoreOption() { m_restore->show(); }

void NewCardPanel::hideRestoreOption()
{
    m_restore->hide();
    m_restore->setChecked(false);
}
