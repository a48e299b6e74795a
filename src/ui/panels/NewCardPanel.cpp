#include "ui/panels/NewCardPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

NewCardPanel::NewCardPanel(QWidget *parent) : SidePanel(0, QStringLiteral("新建名片"), parent)
{
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("img_new"));
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/new_card.png")));
    picture->setAlignment(Qt::AlignCenter);
    picture->setGeometry(10, contentTop() + 4, kWidth - 20, 124);

    auto *explain = new QLabel(QStringLiteral("页面上的名片就是您的启动名片模板：每次启动软件或新建名片时，"
                                              "都从它开始编辑。\n\n您可以把任何一张保存过的名片设置为新的启动名片，"
                                              "以后就从您自己的模板开始。"),
                               this);
    explain->setObjectName(QStringLiteral("lab_new(0)"));
    explain->setWordWrap(true);
    explain->setGeometry(14, contentTop() + 140, kWidth - 28, 130);

    auto *question = new QLabel(QStringLiteral("想更换启动名片模板吗？"), this);
    question->setObjectName(QStringLiteral("lab_new(1)"));
    question->setGeometry(14, contentTop() + 280, kWidth - 28, 22);

    m_setStart = new QPushButton(QStringLiteral(">>是的，我想更换它…"), this);
    m_setStart->setObjectName(QStringLiteral("cmd_setStart"));
    m_setStart->setGeometry(14, contentTop() + 306, kWidth - 28, 28);
    connect(m_setStart, &QPushButton::clicked, this, &NewCardPanel::chooseStartupCard);

    m_restore = new QCheckBox(QStringLiteral("恢复系统默认的名片"), this);
    m_restore->setObjectName(QStringLiteral("chk_new"));
    m_restore->setGeometry(14, contentTop() + 346, kWidth - 28, 24);
    m_restore->hide();
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
