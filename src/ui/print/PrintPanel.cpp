#include "ui/print/PrintPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kMargin = 12;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;

} // namespace

PrintPanel::PrintPanel(QWidget *parent) : SidePanel(3, QStringLiteral("打印名片"), parent)
{
    const int top = contentTop();
    const char16_t *captions[] = {u">>打印当前已经完成的名片…", u">>打开其它名片文件再打印…"};
    for (int i = 0; i < 2; ++i) {
        auto *b = new QPushButton(QString::fromUtf16(captions[i]), this);
        b->setObjectName(QStringLiteral("cmd_print(%1)").arg(i));
        b->setGeometry(kMargin, top + 8 + i * 40, kInner, 30);
        m_buttons[i] = b;
    }
    connect(m_buttons[0], &QPushButton::clicked, this, [this] { emit printRequested(m_exactSize->isChecked()); });
    connect(m_buttons[1], &QPushButton::clicked, this, &PrintPanel::openRequested);

    m_exactSize = new QCheckBox(QStringLiteral("按实际的页面规格进行打印"), this);
    m_exactSize->setObjectName(QStringLiteral("chk_sp_print"));
    m_exactSize->setGeometry(kMargin, top + 92, kInner, 24);

    auto *tip = new QLabel(QStringLiteral("默认打印纸张是A4规格、纵向放置的。打印前系统会自动把您的打印机调整到相配的设置。"
                                          "您也可以把图片型的名片（即非.pnk格式的）导入到其它支持打印及图片插入的应用程序"
                                          "（如word等）中进行打印…"),
                           this);
    tip->setObjectName(QStringLiteral("tip_info(5)"));
    tip->setWordWrap(true);
    tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tip->setGeometry(kMargin, top + 130, kInner, 120);
}

void PrintPanel::reset()
{
    m_exactSize->setChecked(false);
}
