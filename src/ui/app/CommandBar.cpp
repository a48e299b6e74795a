#include "ui/app/CommandBar.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr std::array<const char *, CommandBar::CommandCount> kPictureNames{
    "new", "open", "save", "print", "page", "logo", "text", "line", "show", "help", "about"};

constexpr std::array<const char16_t *, CommandBar::CommandCount> kTips{
    u"从一个系统默认的名片模版中开始编辑您的新名片…",
    u"从名片作品库中打开一个名片进行查看、修改、打印、发送等操作…",
    u"把您制作的名片保存为印刷输出图片格式或本软件的名片模板格式…",
    u"把当前打开或已经制作完成的名片进行打印设置及打印…",
    u"以对当前名片页面进行页面大小及背景底图等各种设置…",
    u"以对名片的当前标志图片进行位置、大小及更换等处理操作…",
    u"以对名片文字信息进行设置各种设置，如字体、字号、颜色、位置、对齐等…",
    u"直线经过合适的设置，可以对您的名片产生有意想不到的装饰效果…",
    u"把名片中不需要的信息（文字、图片及直线等）隐藏起来；也可以进行对选定对象的排版对齐操作…",
    u"查看这个软件的一些常见问题及使用技巧…",
    u"查看本软件的版本、资源网站及技术支持等信息…",
};

// Separators stand after these commands: files | page objects | show | help.
constexpr std::array<int, 3> kSeparatorsAfter{CommandBar::Print, CommandBar::Line, CommandBar::Show};

constexpr int kLeftMargin = 6;
constexpr int kBarHeight = 60;
constexpr QSize kItemSize{64, kBarHeight};
constexpr int kSeparatorWidth = 8;

QPixmap picture(const QString &name) { return QPixmap(QStringLiteral(":/pictures/menu/%1.png").arg(name)); }

} // namespace

CommandBar::CommandBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frm_menu"));
    setMouseTracking(true);
    m_barTile = picture(QStringLiteral("bar"));
    const QPixmap separator = picture(QStringLiteral("separator"));
    int x = kLeftMargin, separatorIndex = 0;
    for (int i = 0; i < CommandCount; ++i) {
        for (int s = 0; s < 3; ++s)
            m_pictures[std::size_t(i)][std::size_t(s)] = picture(QString::fromLatin1(kPictureNames[std::size_t(i)]) + QString::number(s));
        auto *item = new QLabel(this);
        item->setObjectName(QStringLiteral("menu(%1)").arg(i));
        item->setMouseTracking(true);
        item->installEventFilter(this);
        item->setPixmap(m_pictures[std::size_t(i)][0]);
        item->setGeometry(x, 0, kItemSize.width(), kItemSize.height());
        x += item->width();
        m_items[std::size_t(i)] = item;
        if (separatorIndex < 3 && kSeparatorsAfter[std::size_t(separatorIndex)] == i) {
            auto *sep = new QLabel(this);
            sep->setObjectName(QStringLiteral("menu_SP(%1)").arg(separatorIndex++));
            sep->setPixmap(separator);
            sep->setGeometry(x, 0, kSeparatorWidth, kBarHeight);
            sep->setAttribute(Qt::WA_TransparentForMouseEvents);
            x += sep->width();
        }
    }
    setFixedHeight(kBarHeight);
}

QString CommandBar::tip(int command) { return QString::fromUtf16(kTips.at(std::size_t(command))); }

QString CommandBar::barTip()
{
    return QStringLiteral("按住鼠标拖移名片对象可以改变其位置、单击则出现对应的编辑设置面板；"
                          "页面外双击则可以对名片对象进行对齐操作…");
}

void CommandBar::setState(int command, State state)
{
    m_states[std::size_t(command)] = state;
    m_items[std::size_t(command)]->setPixmap(m_pictures[std::size_t(command)][std::size_t(state)]);
}

int CommandBar::commandOf(QObject *watched) const
{
    const auto it = std::find(m_items.begin(), m_items.end(), watched);
    return it == m_items.end() ? -1 : int(it - m_items.begin());
}

void CommandBar::mouseMoveEvent(QMouseEvent *)
{
    for (int i = 0; i < CommandCount; ++i) setState(i, State::Normal);
    emit tipChanged(barTip());
}

bool CommandBar::eventFilter(QObject *watched, QEvent *event)
{
    const int command = commandOf(watched);
    // Filters see the events of disabled widgets too: a disabled bar takes no command.
    if (command < 0 || !isEnabled()) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        setState(command, State::Hover);
        emit tipChanged(tip(command));
        return true;
    case QEvent::MouseButtonPress:
        setState(command, State::Pressed);
        emit commandPressed(command);
        return true;
    case QEvent::MouseButtonRelease:
        setState(command, State::Normal);
        emit commandReleased(command);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void CommandBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_barTile.isNull())
        p.fillRect(rect(), QColor(224, 224, 224));
    else
        p.drawTiledPixmap(rect(), m_barTile);
}
