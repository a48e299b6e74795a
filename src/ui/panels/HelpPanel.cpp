#include "ui/panels/HelpPanel.h"

#include "ui/panels/HelpView.h"
#include "ui/common/SidePanel.h"
#include "ui/common/WebLink.h"
#include "model/ProfileStore.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr qsizetype kTitleLength = 24;

const QString kHelpSection = QStringLiteral("help");
const QString kWelcome = QStringLiteral("欢迎使用最易操作的名片制作软件！");
const QString kReading = QStringLiteral("您正在阅读“帮助信息”……");

// Topic i is answered by key a(i + 1); a0 is the introduction.
const std::array<const char16_t *, HelpPanel::kTopicCount> kCaptions{
    u"使用本软件的一些重要注意事项",   u"3.0版有哪些比较重要的新功能？",
    u"如何开始布局一张自己的名片？",   u"如何使用自己的图片素材？",
    u"保存后的名片还可以再次修改吗？", u"底图、标志及名片的文件管理方法",
    u"怎样对名片信息进行对齐操作？",   u"怎样使标志底色与页面底色一致？",
};

QString indexed(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

} // namespace

QString helpTitle(const QString &caption)
{
    if (caption.size() <= kTitleLength) return caption;
    return caption.left(kTitleLength) + u'…';
}

HelpPanel::HelpPanel(ProfileStore &store, HelpView &view, QLabel &status, QWidget *parent)
    : QFrame(parent), m_store(store), m_view(view), m_status(status)
{
    setObjectName(indexed("frm_cz", 9));
    setFixedWidth(SidePanel::kWidth);
    usePanelColour(*this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 12, 10, 12);
    layout->setSpacing(10);

    auto *heading = new QLabel(QStringLiteral("常见问题："), this);
    heading->setObjectName(indexed("tip_txt", 7));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(9);
    grid->setColumnStretch(1, 1);
    buildTopics(*grid);
    layout->addLayout(grid);
    layout->addStretch(1);

    auto *more = new QLabel(QStringLiteral("更多使用技巧、名片模板及软件更新，欢迎访问本软件的技术支持与下载网站：\n%1")
                                .arg(webSiteHost()),
                            this);
    more->setObjectName(QStringLiteral("lab_helpMore"));
    more->setWordWrap(true);
    more->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(more);
}

void HelpPanel::buildTopics(QGridLayout &grid)
{
    for (int i = 0; i < kTopicCount; ++i) {
        auto *bullet = new QLabel(QStringLiteral("·"), this);
        bullet->setObjectName(indexed("lab_help_d", i));
        auto *topic = new QLabel(QString::fromUtf16(kCaptions[i]), this);
        topic->setObjectName(indexed("lab_help", i));
        topic->setWordWrap(true);
        topic->setCursor(Qt::PointingHandCursor);
        setCaptionColour(*topic, kLinkColour);
        topic->installEventFilter(this);
        grid.addWidget(bullet, i, 0, Qt::AlignTop);
        grid.addWidget(topic, i, 1);
        m_topics[i] = topic;
    }
}

void HelpPanel::openHelp()
{
    if (QWidget *workspace = m_view.parentWidget())
        m_view.placeOver(workspace->contentsRect().size());
    m_view.show();
    m_view.raise();
    m_view.setTitle(kWelcome);
    m_view.setText(settingText(0));
}

bool HelpPanel::eventFilter(QObject *watched, QEvent *event)
{
    const auto topic = std::find(m_topics.begin(), m_topics.end(), watched);
    if (topic == m_topics.end()) return QFrame::eventFilter(watched, event);
    const int index = int(topic - m_topics.begin());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        pressTopic(index);
        return true;
    case QEvent::MouseButtonRelease:
        releaseTopic(index);
        return true;
    default:
        return false;
    }
}

void HelpPanel::pressTopic(int index)
{
    setCaptionColour(*m_topics[index], kPressedLinkColour);
    m_status.setText(kReading);
}

void HelpPanel::releaseTopic(int index)
{
    QLabel &topic = *m_topics[index];
    setCaptionColour(topic, kLinkColour);
    m_view.setTitle(helpTitle(topic.text()));
    m_view.setText(settingText(index + 1));
}

QString HelpPanel::settingText(int key) const
{
    return m_store.readSettingText(kHelpSection, QStringLiteral("a%1").arg(key));
}
