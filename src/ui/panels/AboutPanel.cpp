#include "ui/panels/AboutPanel.h"

#include "ui/common/SidePanel.h"
#include "ui/common/WebLink.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 10;
constexpr int kPictureHeight = 140; // the picture is shrunk to fit, never enlarged

QString aboutName(int index) { return QStringLiteral("lab_about(%1)").arg(index); }

QLabel *addText(QVBoxLayout &layout, int index, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(aboutName(index));
    label->setWordWrap(true);
    layout.addWidget(label);
    return label;
}

} // namespace

AboutPanel::AboutPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frm_cz(10)"));
    setFixedWidth(SidePanel::kWidth);
    usePanelColour(*this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, 12, kMargin, 12);
    layout->setSpacing(8);

    addPicture(*layout);
    QLabel *name = addText(*layout, 0, QStringLiteral("Penlark 3.0 名片设计软件"), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    addText(*layout, 1, QStringLiteral("版本号：3.0.0.0(2006.8.28.)"), this);
    addWebSite(*layout);
    addText(*layout, 2, QStringLiteral("技术支持：使用中遇到问题或有任何建议，欢迎来信\nsupport@%1").arg(webSiteHost()),
            this);
    addText(*layout, 3,
            QStringLiteral("致谢：感谢每一位提出宝贵意见的用户，以及为本软件绘制底图与标志素材的设计师朋友们。"),
            this);
    addText(*layout, 4,
            QStringLiteral("版权声明：本软件受著作权法及国际版权公约保护。未经许可，不得复制、修改、出租或传播本软件的全部或部分内容。"
                           "名片中使用的文字、标志及图片，其权利归各自的所有者。"),
            this);
    layout->addStretch(1);
}

void AboutPanel::addPicture(QVBoxLayout &layout)
{
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("img_aboutMe"));
    picture->setAlignment(Qt::AlignCenter);
    const QPixmap about(QStringLiteral(":/pictures/about.png"));
    const QSize room(SidePanel::kWidth - 2 * kMargin, kPictureHeight);
    const bool fits = about.width() <= room.width() && about.height() <= room.height();
    picture->setPixmap(fits ? about : about.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    if (about.isNull()) picture->hide();
    layout.addWidget(picture);
}

// "资源网站：" and the link to the site on one line.
void AboutPanel::addWebSite(QVBoxLayout &layout)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    auto *caption = new QLabel(QStringLiteral("资源网站："), this);
    caption->setObjectName(aboutName(5));
    row->addWidget(caption);
    row->addWidget(new WebLink(QStringLiteral("goWww(0)"), webSiteHost(), this));
    row->addStretch(1);
    layout.addLayout(row);
}
