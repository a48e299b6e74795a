#include "ui/print/PrintPanel.h"

#include "ui/common/Controls.h"

#include <QPushButton>

namespace {

constexpr int kMargin = 12;
constexpr int kInner = SidePanel::kWidth - 2 * kMargin;

} // namespace

PrintPanel::PrintPanel(QWidget *parent) : SidePanel(3, QStringLiteral("打印名片"), parent)
{
    const int top = contentTop();
    const char16_t *captions[] = {u">>打印当前已经完成的名片…", u">>打开其它名片文件再打印…"};
    for (int i = 0; i < 2; ++i)
        m_buttons[i] = Controls::place<QPushButton>(QStringLiteral("cmd_print(%1)").arg(i),
                                                    QRect(kMargin, top + 8 + i * 40, kInner, 30), this,
                                                    QString::fromUtf16(captions[i]));
    connect(m_buttons[0], &QPushButton::clicked, this, [this] { emit printRequested(m_exactSize->isChecked()); });
    connect(m_buttons[1], &QPushButton::clicked, this, &PrintPanel::openRequested);

    m_exactSize = Controls::checkBox(QStringLiteral("chk_sp_print"), QStringLiteral("按实际的页面规格进行打印"),
                                     QRect(kMargin, top + 92, kInner, 24), this);

    QLabel *tip = Controls::label(QStringLiteral("tip_info(5)"),
                                  QStringLiteral("默认打印纸张是A4规格、纵向放置的。打印前系统会自动把您的打印机调整到相配的设置。"
                                                 "您也可以把图片型的名片（即非.pnk格式的）导入到其它支持打印及图片插入的应用程序"
                                                 "（如word等）中进行打印…"),
                                  QRect(kMargin, top + 130, kInner, 120), this);
    tip->setWordWrap(true);
    tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_batch = Controls::place<QPushButton>(QStringLiteral("cmd_batch"), QRect(kMargin, top + 260, kInner, 30), this,
                                           QStringLiteral(">>批量制作名片…"));
    connect(m_batch, &QPushButton::clicked, this, &PrintPanel::batchRequested);
}

void PrintPanel::reset()
{
    m_exactSize->setChecked(false);
}
