#include "ui/panels/AboutPanel.h"
#include "ui/panels/HelpPanel.h"
#include "ui/panels/HelpView.h"
#include "ui/common/WebLink.h"
#include "model/CardFile.h"
#include "model/CardReader.h"
#include "render/PagePictures.h"
#include "model/IniFile.h"
#include "model/ProfileStore.h"
#include "render/Fonts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kProgramSource = QStringLiteral(PENLARK_PROGRAM_SOURCE);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QString kWelcome = QStringLiteral("欢迎使用最易操作的名片制作软件！");

struct NoCardFiles : CardFileContext {
    CardSource cardSource() const override { return CardSource::OpenPanelList; }
    SaveTarget saveTarget() const override { return {}; }
    QString openPanelFile() const override { return {}; }
    QString libraryManagerFile() const override { return {}; }
};

QColor colourOf(const QWidget *label) { return label->palette().color(QPalette::WindowText); }

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Strict GBK (no four-byte GB18030 sequences), every line ended by CRLF.
void expectGbkWithCrlf(const QByteArray &bytes)
{
    QVERIFY(!bytes.isEmpty());
    QStringDecoder decoder("GBK");
    const QString text = decoder(bytes);
    QVERIFY(!decoder.hasError());
    QCOMPARE(QStringEncoder("GBK").encode(text), bytes);
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
}

// Section and key names in file order.
QStringList keyLayout(const QByteArray &bytes)
{
    QStringList names;
    for (const QByteArray &line : bytes.split('\n'))
        if (!line.trimmed().isEmpty()) names << QString::fromLatin1(line.left(line.indexOf('=')).trimmed());
    return names;
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestHelp : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void cutsLongCaptionsForTheTitle();
    void topicsShowTheirAnswers_data();
    void topicsShowTheirAnswers();
    void titlesALongCaptionThroughTheLabel();
    void openingHelpShowsTheWelcomeOverTheWorkspace();
    void readsTheAnswerAgainAtEveryChoice();
    void showsLineBreaksOfTheSettingsText();
    void webLinksTurnRedAndOpenTheSite();
    void panelsCarryTheirFixedTexts();
    void panelsShowEveryLabelWhole();
    void shipsAValidSettingsFile();
    void shipsSampleCardsInsideTheTrim();

private:
    void writeHelp(const QString &key, const QString &text);
    QLabel *topic(int index) const;
    void choose(int index);
    QString title() const;
    QString answer() const;

    UrlCatcher m_urls;
    NoCardFiles m_context;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ProfileStore> m_store;
    std::unique_ptr<QWidget> m_workspace;
    std::unique_ptr<QLabel> m_status;
    std::unique_ptr<HelpPanel> m_panel;
    HelpView *m_view = nullptr;
};

void TestHelp::initTestCase()
{
    Fonts::installSubstitutions();
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "open");
}

void TestHelp::cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

void TestHelp::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<ProfileStore>(ProgramFolder(m_dir->path()), m_context);
    m_workspace = std::make_unique<QWidget>();
    m_workspace->resize(558, 505);
    m_view = new HelpView(m_workspace.get());
    m_status = std::make_unique<QLabel>();
    m_panel = std::make_unique<HelpPanel>(*m_store, *m_view, *m_status);
    for (int i = 0; i <= 8; ++i) writeHelp(QStringLiteral("a%1").arg(i), QStringLiteral("答案%1").arg(i));
}

void TestHelp::cleanup()
{
    m_panel.reset();
    m_status.reset();
    m_workspace.reset();
    m_store.reset();
    m_dir.reset();
    m_urls.opened.clear();
}

void TestHelp::writeHelp(const QString &key, const QString &text)
{
    QVERIFY(IniStore::write(m_store->folder().settingsFile(), QStringLiteral("help"), key, text));
}

QLabel *TestHelp::topic(int index) const
{
    return m_panel->findChild<QLabel *>(QStringLiteral("lab_help(%1)").arg(index));
}

void TestHelp::choose(int index)
{
    QTest::mousePress(topic(index), Qt::LeftButton);
    QTest::mouseRelease(topic(index), Qt::LeftButton);
}

QString TestHelp::title() const { return m_view->findChild<QLabel *>(QStringLiteral("help_info(0)"))->text(); }

QString TestHelp::answer() const
{
    return m_view->findChild<QPlainTextEdit *>(QStringLiteral("help_info(2)"))->toPlainText();
}

void TestHelp::cutsLongCaptionsForTheTitle()
{
    const QString letters = QStringLiteral("名片设计软件常见问题解答怎样对名片信息进行对齐操作之一二三四五六七");
    QCOMPARE(helpTitle(letters.left(30)), letters.left(24) + QStringLiteral("…"));
    QCOMPARE(helpTitle(letters.left(25)), letters.left(24) + QStringLiteral("…"));
    QCOMPARE(helpTitle(letters.left(24)), letters.left(24));
    QCOMPARE(helpTitle(QString()), QString());
}

void TestHelp::topicsShowTheirAnswers_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    const char16_t *captions[] = {
        u"使用本软件的一些重要注意事项",   u"3.0版有哪些比较重要的新功能？",
        u"如何开始布局一张自己的名片？",   u"如何使用自己的图片素材？",
        u"保存后的名片还可以再次修改吗？", u"底图、标志及名片的文件管理方法",
        u"怎样对名片信息进行对齐操作？",   u"怎样使标志底色与页面底色一致？",
    };
    for (int i = 0; i < 8; ++i)
        QTest::addRow("lab_help(%d)", i) << i << QString::fromUtf16(captions[i]);
}

// Red while the button is down, with the reading notice in the status line; blue
// again on release, which shows the caption and the answer of key a(i + 1).
void TestHelp::topicsShowTheirAnswers()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QLabel *label = topic(index);
    QCOMPARE(label->text(), caption);
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("lab_help_d(%1)").arg(index))->text(), QStringLiteral("·"));
    QCOMPARE(colourOf(label), kBlue);

    QTest::mousePress(label, Qt::LeftButton);
    QCOMPARE(colourOf(label), kRed);
    QCOMPARE(m_status->text(), QStringLiteral("您正在阅读“帮助信息”……"));
    QTest::mouseRelease(label, Qt::LeftButton);
    QCOMPARE(colourOf(label), kBlue);
    QCOMPARE(title(), caption);
    QCOMPARE(answer(), QStringLiteral("答案%1").arg(index + 1));
}

void TestHelp::titlesALongCaptionThroughTheLabel()
{
    const QString caption = QStringLiteral("一二三四五六七八九十").repeated(3);
    topic(2)->setText(caption);
    choose(2);
    QCOMPARE(title(), caption.left(24) + QStringLiteral("…"));
}

void TestHelp::openingHelpShowsTheWelcomeOverTheWorkspace()
{
    m_panel->openHelp();
    QVERIFY(m_view->isVisibleTo(m_workspace.get()));
    QCOMPARE(m_view->geometry(), QRect(5, 5, 548, 495)); // 80 twips = 5 pixels on every side
    QCOMPARE(title(), kWelcome);
    QCOMPARE(answer(), QStringLiteral("答案0"));

    choose(5);
    QCOMPARE(answer(), QStringLiteral("答案6"));
    m_workspace->resize(600, 400);
    m_panel->openHelp();
    QCOMPARE(m_view->geometry(), QRect(5, 5, 590, 390));
    QCOMPARE(title(), kWelcome);
    QCOMPARE(answer(), QStringLiteral("答案0"));
}

void TestHelp::readsTheAnswerAgainAtEveryChoice()
{
    writeHelp(QStringLiteral("a4"), QStringLiteral("第一稿"));
    choose(3);
    QCOMPARE(answer(), QStringLiteral("第一稿"));
    writeHelp(QStringLiteral("a4"), QStringLiteral("第二稿"));
    choose(3);
    QCOMPARE(answer(), QStringLiteral("第二稿"));

    QVERIFY(IniStore::update(m_store->folder().settingsFile(), [](IniFile &ini) {
        ini = IniFile::fromBytes("[help]\r\na0=x\r\n");
    }));
    choose(3);
    QCOMPARE(answer(), QString());
    QVERIFY(QFile::remove(m_store->folder().settingsFile()));
    m_panel->openHelp();
    QCOMPARE(answer(), QString());
}

void TestHelp::showsLineBreaksOfTheSettingsText()
{
    writeHelp(QStringLiteral("a3"), QStringLiteral("1，新建名片。\\n2，拖动对象。\\n\\n完"));
    choose(2);
    QCOMPARE(answer(), QStringLiteral("1，新建名片。\n2，拖动对象。\n\n完"));
}

void TestHelp::webLinksTurnRedAndOpenTheSite()
{
    AboutPanel about;
    const QList<QLabel *> links{about.findChild<QLabel *>(QStringLiteral("goWww(0)")),
                                m_view->findChild<QLabel *>(QStringLiteral("goWww(1)"))};
    for (QLabel *link : links) {
        QVERIFY(link);
        QCOMPARE(colourOf(link), kBlue);
        QTest::mousePress(link, Qt::LeftButton);
        QCOMPARE(colourOf(link), kRed);
        QTest::mouseRelease(link, Qt::LeftButton);
        QCOMPARE(colourOf(link), kRed);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(link, &move);
        QCOMPARE(colourOf(link), kBlue);
    }
    QCOMPARE(m_urls.opened, QList<QUrl>(2, QUrl(QStringLiteral("https://penlark.example.cn"))));
    QVERIFY(links[0]->text().contains(QStringLiteral("penlark.example.cn")));
}

void TestHelp::panelsCarryTheirFixedTexts()
{
    AboutPanel about;
    QCOMPARE(about.objectName(), QStringLiteral("frm_cz(10)"));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lab_about(1)"))->text(),
             QStringLiteral("版本号：3.0.0.0(2006.8.28.)"));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lab_about(5)"))->text(), QStringLiteral("资源网站："));
    QVERIFY(about.findChild<QLabel *>(QStringLiteral("img_aboutMe")));
    QCOMPARE(m_panel->objectName(), QStringLiteral("frm_cz(9)"));
    QCOMPARE(m_panel->findChild<QLabel *>(QStringLiteral("tip_txt(7)"))->text(), QStringLiteral("常见问题："));
    QVERIFY(m_panel->findChild<QLabel *>(QStringLiteral("lab_helpMore"))->text().contains(webSiteHost()));
    QCOMPARE(m_view->objectName(), QStringLiteral("help_bg"));
    QVERIFY(m_view->findChild<QLabel *>(QStringLiteral("help_info(1)"))->text().isEmpty());
    QCOMPARE(about.palette().color(QPalette::Window), QColor(217, 217, 217));
    QCOMPARE(m_panel->palette().color(QPalette::Window), QColor(217, 217, 217));
}

// At the panel width of 3300 twips every label keeps its whole text in view.
void TestHelp::panelsShowEveryLabelWhole()
{
    AboutPanel about;
    for (QWidget *panel : {static_cast<QWidget *>(m_panel.get()), static_cast<QWidget *>(&about)}) {
        panel->resize(220, 480);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QCOMPARE(panel->width(), 220);
        for (const QLabel *label : panel->findChildren<QLabel *>()) {
            if (label->text().isEmpty() || !label->isVisible()) continue;
            const QByteArray name = label->objectName().toUtf8();
            const QRect place(label->mapTo(panel, QPoint()), label->size());
            QVERIFY2(panel->rect().contains(place), name);
            if (label->wordWrap()) {
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), name);
            } else {
                QVERIFY2(label->sizeHint().width() <= label->width(), name);
                QVERIFY2(label->sizeHint().height() <= label->height(), name);
            }
        }
    }
}

void TestHelp::shipsAValidSettingsFile()
{
    const QByteArray bytes = fileBytes(kProgramSource + QStringLiteral("/penlark.dll"));
    expectGbkWithCrlf(bytes);
    const IniFile ini = IniFile::fromBytes(bytes);
    QCOMPARE(ini.value(u"card", u"cardName"), std::optional<QString>(QString()));
    for (int i = 0; i <= 8; ++i) {
        const QString key = QStringLiteral("a%1").arg(i);
        const std::optional<QString> text = ini.value(u"help", key);
        QVERIFY2(text && !text->isEmpty(), qPrintable(key));
        QVERIFY2(QByteArray(QStringEncoder("GBK").encode(*text)).size() < 800, qPrintable(key));
    }
}

// The sample cards are written like any saved card, find their pictures in the
// libraries and keep every object inside the trim, 170 twips in from each edge.
void TestHelp::shipsSampleCardsInsideTheTrim()
{
    IniFile fresh;
    CardFile::write(CardDocument::defaultCard(), fresh);
    const QStringList layout = keyLayout(fresh.toBytes());
    QImage twipDevice(1, 1, QImage::Format_RGB32);
    twipDevice.setDotsPerMeterX(qRound(1440 / 0.0254));
    twipDevice.setDotsPerMeterY(qRound(1440 / 0.0254));

    const QDir samples(kProgramSource + QStringLiteral("/mycard/示例名片"));
    const QStringList names{QStringLiteral("商务蓝.pnk"), QStringLiteral("简约白.pnk"), QStringLiteral("雅致水墨.pnk")};
    QCOMPARE(samples.entryList({QStringLiteral("*.pnk")}, QDir::Files, QDir::Name), names);
    for (const QString &name : names) {
        const QByteArray bytes = fileBytes(samples.filePath(name));
        expectGbkWithCrlf(bytes);
        QCOMPARE(keyLayout(bytes), layout);
        const IniFile ini = IniFile::fromBytes(bytes);
        CardDocument card = CardDocument::defaultCard();
        PageView view;
        const ProgramFolder folder(kProgramSource);
        QVERIFY2(CardReader::read(CardReader::valuesOf(ini), PagePictures::sourceFor(folder), card, view).empty(),
                 qPrintable(name));
        const QRectF trim = QRectF(0, 0, card.page.width, card.page.height).adjusted(170, 170, -170, -170);
        const QByteArray what = name.toUtf8();
        QVERIFY2(QFile::exists(folder.libraryFile(ProgramFolder::Library::Logos, card.logo.img).value_or("")), what);
        if (card.page.isBg == BackgroundKind::LibraryImage)
            QVERIFY2(QFile::exists(
                         folder.libraryFile(ProgramFolder::Library::Backgrounds, card.page.bgImg).value_or("")),
                     what);
        QVERIFY2(trim.contains(QRectF(card.logo.left, card.logo.top, card.logo.width, card.logo.height)), what);
        QVERIFY2(trim.contains(QRectF(card.line.left, card.line.top, card.line.width, card.line.height)), what);
        for (const CardText &text : card.texts) {
            const QFont font = Fonts::cardFont(text.Font, text.FontSize, text.FontBold, text.FontItalic);
            const QRectF box(text.Left, text.Top, QFontMetricsF(font, &twipDevice).horizontalAdvance(text.caption),
                             Fonts::lineHeight(font, &twipDevice));
            QVERIFY2(trim.contains(box), (what + ' ' + text.caption.toUtf8()).constData());
        }
    }
}

QTEST_MAIN(TestHelp)
#include "test_help.moc"
