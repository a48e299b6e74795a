#include "ui/app/StartWindow.h"

#include "render/PageGeometry.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/common/WebLink.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace {

constexpr double kTwipsPerPixel = PageGeometry::kScreenTwipsPerPixel;

QRect toPixels(const QRect &twips)
{
    return {int(twips.x() / kTwipsPerPixel), int(twips.y() / kTwipsPerPixel),
            std::max(1, int(twips.width() / kTwipsPerPixel)), std::max(1, int(twips.height() / kTwipsPerPixel))};
}

QLabel *splashLabel(const QString &name, const QString &text, int y, QWidget *parent)
{
    QLabel *label = Controls::label(name, text, {18, y, 320, 18}, parent);
    label->setStyleSheet(QStringLiteral("color: #eef2ff;"));
    return label;
}

} // namespace

StartWindow::StartWindow(ProgramFolder folder, Dialogs &dialogs, std::function<void()> showMain, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint), m_folder(std::move(folder)), m_dialogs(dialogs),
      m_showMain(std::move(showMain)), m_handOver(m_folder), m_splash(QStringLiteral(":/pictures/splash.png"))
{
    setObjectName(QStringLiteral("Form_start"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size(int(kSplashTwips.width() / kTwipsPerPixel), int(kSplashTwips.height() / kTwipsPerPixel));
    const QPoint topLeft = screen.center() - QPoint(size.width() / 2, size.height() / 2);
    m_twips = QRect(int(topLeft.x() * kTwipsPerPixel), int(topLeft.y() * kTwipsPerPixel), kSplashTwips.width(),
                    kSplashTwips.height());
    applyGeometry();

    splashLabel(QStringLiteral("lab(0)"), QStringLiteral("版本：3.0.0.0"), size.height() - 66, this);
    splashLabel(QStringLiteral("lab(1)"), QStringLiteral("Penlark 工作室 设计制作 · 献给每一位用心做名片的人"),
                size.height() - 46, this);
    splashLabel(QStringLiteral("lab(2)"), QStringLiteral("数据读取中，请稍后…"), size.height() - 26, this);

    m_splashTimer.setInterval(2500);
    m_splashTimer.setSingleShot(true);
    m_shrinkTimer.setInterval(50);
    connect(&m_splashTimer, &QTimer::timeout, &m_shrinkTimer, qOverload<>(&QTimer::start));
    connect(&m_shrinkTimer, &QTimer::timeout, this, &StartWindow::shrinkStep);
}

bool StartWindow::start()
{
    m_lock = std::make_unique<QLockFile>(m_folder.root() + QStringLiteral("/penlark.lock"));
    if (!m_lock->tryLock(0)) {
        if (!m_fileToOpen.isEmpty() && m_handOver.send(m_fileToOpen)) return false;
        m_dialogs.show(QStringLiteral("Penlark正在运用中\r请勿重复启动！"), QStringLiteral("提醒您："),
                       Dialogs::Icon::Warning);
        return false;
    }
    m_handOver.listen();
    if (!hasSettingsFile()) return false;
    // Every message comes before the splash: its timers must not run while one is open.
    createLibraryFolders();
    show();
    m_splashTimer.start();
    return true;
}

bool StartWindow::hasSettingsFile()
{
    if (QFileInfo::exists(m_folder.settingsFile())) return true;
    m_dialogs.show(QStringLiteral("由于Penlark缺少一些主要的文件而导致不能正常运行\r"
                                  "请您核对是否曾经删除过某些文件，若有可能请即刻恢复它\r"
                                  "或者到Penlark网站（%1）重新下载安装本软件")
                       .arg(QString::fromLatin1(kWebSite)),
                   QStringLiteral("启动时出错！"), Dialogs::Icon::Warning);
    return false;
}

void StartWindow::createLibraryFolders()
{
    using L = ProgramFolder::Library;
    for (L library : {L::Cards, L::Logos, L::Backgrounds}) {
        const QString dir = m_folder.libraryDir(library);
        if (QFileInfo::exists(dir) || QDir().mkdir(dir)) continue;
        m_dialogs.show(QStringLiteral("无法创建文件夹“%1”\r请检查程序文件夹是否可以写入…").arg(QDir::toNativeSeparators(dir)),
                       QStringLiteral("提醒您："), Dialogs::Icon::Warning);
    }
}

void StartWindow::mousePressEvent(QMouseEvent *)
{
    if (!m_handedOver && !m_shrinkTimer.isActive()) m_shrinkTimer.start();
}

void StartWindow::shrinkStep()
{
    if (m_handedOver) return;
    if (m_twips.width() > 500 && m_twips.height() > 300) {
        m_twips = QRect(m_twips.x() + 210, m_twips.y() + 200, m_twips.width() - 500, m_twips.height() - 300);
        ++m_shrinkSteps;
        applyGeometry();
        return;
    }
    handOver();
}

void StartWindow::handOver()
{
    m_handedOver = true;
    m_shrinkTimer.stop();
    m_splashTimer.stop();
    close();
    m_showMain();
}

void StartWindow::applyGeometry() { setGeometry(toPixels(m_twips)); }

void StartWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_splash.isNull())
        p.fillRect(rect(), QColor(31, 42, 110));
    else
        p.drawPixmap(0, 0, m_splash);
}
