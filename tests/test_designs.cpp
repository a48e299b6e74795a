#include "model/IniFile.h"
#include "model/ProgramFolder.h"
#include "model/CardSession.h"
#include "render/AppliedPictures.h"
#include "render/DesignCheck.h"
#include "render/Fonts.h"
#include "render/PagePictures.h"
#include "render/PageRenderer.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kProgramSource = QStringLiteral(PENLARK_PROGRAM_SOURCE);

// A 300 x 300 picture, red on its left half and blue on its right.
QImage halves()
{
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 150; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

bool isRed(const QImage &image, int x) { return image.pixelColor(x, 10).red() > 200; }

} // namespace

class TestDesigns : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    // Every sample card keeps the design rules on both sides; the gallery has
    // its 24 two-sided cards in 8 categories of 3 or more, 4 of them upright.
    void sampleCardsKeepTheDesignRules()
    {
        const ProgramFolder folder(kProgramSource);
        QMap<QString, int> twoSidedByCategory;
        int upright = 0;
        QStringList problems;
        QDirIterator cards(folder.libraryDir(ProgramFolder::Library::Cards), {QStringLiteral("*.pnk")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (cards.hasNext()) {
            const QFileInfo file(cards.next());
            const QString name = file.dir().dirName() + u'/' + file.fileName();
            CardDocument card = CardDocument::defaultCard();
            PageView view;
            const IniFile ini = IniStore::load(file.filePath());
            QVERIFY2(CardReader::read(ini, PagePictures::sourceFor(folder), card, view).empty(), qPrintable(name));
            problems << DesignCheck::check(name, card, view);
            if (!card.hasBack()) continue;
            ++twoSidedByCategory[file.dir().dirName()];
            if (card.page.height > card.page.width) ++upright;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QVERIFY(twoSidedByCategory.size() >= 8);
        for (auto [category, count] : twoSidedByCategory.asKeyValueRange()) QVERIFY2(count >= 3, qPrintable(category));
        QVERIFY(upright >= 4);
    }

    // A card that breaks each rule is named with the text that breaks it.
    void aBadCardFailsEachRule()
    {
        CardDocument card = CardDocument::defaultCard();
        PageView view;
        card.page.isBg = BackgroundKind::SolidColour;
        card.page.bgColor = Colour::fromRgb(0xF4, 0xF0, 0xE0);
        card.logo.visible = false;
        card.line = {2000, 30, 100, 100, Colour::kBlack, true};
        for (CardText &text : card.texts) text.visible = false;
        CardText &name = card.text(TextRole::Name);
        name = {QStringLiteral("淡名"), QStringLiteral("黑体"), false, false, 12, Colour::kWhite, 600, 600, true};
        CardText &small = card.text(TextRole::Job);
        small = {QStringLiteral("小字"), QStringLiteral("宋体"), false, false, 5, Colour::kBlack, 600, 1400, true};
        CardText &edge = card.text(TextRole::Address);
        edge = {QStringLiteral("出界"), QStringLiteral("宋体"), false, false, 9, Colour::kBlack, 200, 2000, true};
        CardText &over = card.text(TextRole::Email);
        over = {QStringLiteral("压字"), QStringLiteral("无此字体"), false, false, 9, Colour::kBlack, 620, 1420, true};
        addBack(card, view);
        showSide(card, view, CardSide::Back);
        card.text(TextRole::Name).ForeColor = Colour::fromRgb(0xF4, 0xF0, 0xE0);
        QCOMPARE(DesignCheck::check(QStringLiteral("坏/卡.pnk"), card, view),
                 (QStringList{
                     QStringLiteral("坏/卡.pnk [cLine]: within 1 mm of the trim line"),
                     QStringLiteral("坏/卡.pnk [cName] \"淡名\": contrast 1.1:1 is under 4.5:1"),
                     QStringLiteral("坏/卡.pnk [cJob] \"小字\": 5.0 pt is under 6.5 pt"),
                     QStringLiteral("坏/卡.pnk [cADD] \"出界\": within 1 mm of the trim line"),
                     QStringLiteral("坏/卡.pnk [cEmail] \"压字\": no installed face for 无此字体"),
                     QStringLiteral("坏/卡.pnk [cEmail] \"压字\": crosses \"小字\""),
                     QStringLiteral("坏/卡.pnk [bName] \"Li Ming\": contrast 1.0:1 is under 4.5:1"),
                 }));
    }

    // A picture whose file says it was made at 300 ppi covers an inch of the
    // card per 300 pixels, read whole or reduced; unmarked, or marked out of
    // range, it keeps one pixel a screen pixel.
    void printPicturesHaveTheirPhysicalSize()
    {
        QTemporaryDir dir;
        const ProgramFolder folder(dir.path());
        QVERIFY(QDir().mkpath(folder.libraryDir(ProgramFolder::Library::Backgrounds) + QStringLiteral("/t")));
        const auto save = [&](const QString &file, const QString &ppi, const char *format) {
            QImage image = halves();
            if (!ppi.isNull()) image.setText(QString::fromLatin1(PagePictures::kPrintResolutionKey), ppi);
            return image.save(folder.libraryDir(ProgramFolder::Library::Backgrounds) + QStringLiteral("/t/") + file,
                              format, 95);
        };
        QVERIFY(save(QStringLiteral("print.png"), QStringLiteral("300"), "PNG"));
        QVERIFY(save(QStringLiteral("print.jpg"), QStringLiteral(" 300 "), "JPG"));
        QVERIFY(save(QStringLiteral("plain.png"), {}, "PNG"));
        QVERIFY(save(QStringLiteral("low.png"), QStringLiteral("95"), "PNG"));
        QVERIFY(save(QStringLiteral("high.png"), QStringLiteral("1201"), "PNG"));
        QVERIFY(save(QStringLiteral("word.png"), QStringLiteral("300dpi"), "PNG"));
        CardDocument card = CardDocument::defaultCard();
        card.page.isBg = BackgroundKind::LibraryImage;
        const auto rendered = [&](const QString &file, double twipsPerPixel, bool reduced) {
            PageView view;
            const auto source = reduced ? PagePictures::reducedSourceFor(folder, card, twipsPerPixel)
                                        : PagePictures::sourceFor(folder);
            view.background = source.libraryBackground(QStringLiteral("t\\") + file).image;
            return PageRenderer::renderBitmap(card, view, twipsPerPixel);
        };
        // At 300 dpi (4.8 twips a pixel) a tile of 300 ppi repeats every 300 pixels.
        for (const QString &file : {QStringLiteral("print.png"), QStringLiteral("print.jpg")}) {
            const QImage page = rendered(file, 4.8, false);
            QVERIFY2(isRed(page, 140) && !isRed(page, 160) && isRed(page, 310) && !isRed(page, 460), qPrintable(file));
            const QImage thumbnail = rendered(file, 48, true);
            QVERIFY2(isRed(thumbnail, 13) && !isRed(thumbnail, 17) && isRed(thumbnail, 32), qPrintable(file));
        }
        for (const QString &file : {QStringLiteral("plain.png"), QStringLiteral("low.png"), QStringLiteral("high.png"),
                                    QStringLiteral("word.png")}) {
            const QImage page = rendered(file, 4.8, false);
            QVERIFY2(isRed(page, 460) && !isRed(page, 480) && !isRed(page, 930), qPrintable(file));
            QVERIFY2(isRed(rendered(file, 48, true), 45), qPrintable(file));
        }
        // Applied as a logo at its natural size, a picture of 300 ppi gets a box of an inch.
        CardSession session;
        const auto picture = PagePictures::sourceFor(folder).libraryBackground(QStringLiteral("t\\print.png"));
        AppliedPictures::applyLogo(session, QStringLiteral("t\\print.png"), picture.image);
        QCOMPARE(QSizeF(session.card.logo.width, session.card.logo.height), QSizeF(1440, 1440));
    }
};

QTEST_MAIN(TestDesigns)
#include "test_designs.moc"
