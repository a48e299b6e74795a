#include "merge/CardMerge.h"
#include "merge/CardNames.h"
#include "merge/MergeRun.h"
#include "model/IniFile.h"
#include "render/Fonts.h"
#include "render/TextLayout.h"
#include "support/PdfProbe.h"

#include <QDir>
#include <QFile>
#include <QDataStream>
#include <QLockFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <utime.h>

namespace {

const CardDocument kTemplate = CardDocument::defaultCard();

QStringList fields(Csv::Reader &reader)
{
    const auto record = reader.next();
    return record ? record->fields : QStringList{QStringLiteral("<end>")};
}

QByteArray table(const QStringList &rows) { return rows.join(QStringLiteral("\r\n")).toUtf8() + "\r\n"; }

QByteArray people(int count)
{
    QStringList rows{QStringLiteral("姓名,电话")};
    for (int i = 1; i <= count; ++i) rows << QStringLiteral("P%1,%2").arg(QChar(u'A' + i - 1)).arg(i);
    return table(rows);
}

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray gbk(const QString &text) { return QStringEncoder("GB18030").encode(text); }

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// penlark-card merge: its exit status and what it wrote on stderr.
std::pair<int, QString> mergeTool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(PENLARK_CARD_EXE), QStringList{"merge"} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

MergeRun::Result runInto(const QByteArray &bytes, MergeOutput &output, bool cancelled = false, int jobs = 2)
{
    const MergeRun::Table t = MergeRun::check(bytes, kTemplate, {});
    const std::atomic_bool cancel = cancelled;
    return MergeRun::run(t, kTemplate, PageView(), {{}, false, false, jobs}, output, {}, cancel);
}

} // namespace

class TestMerge : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void readsQuotedFieldsAndLineEnds()
    {
        Csv::Reader r("\xEF\xBB\xBF" "a,\"b,1\",\"say \"\"hi\"\"\"\r\n\"two\r\nlines\",,x\n\nlast,\"\",z");
        QCOMPARE(r.encoding(), Csv::Encoding::Utf8);
        QCOMPARE(fields(r), (QStringList{"a", "b,1", "say \"hi\""}));
        const auto multi = r.next();
        QCOMPARE(multi->line, 2);
        QCOMPARE(multi->fields, (QStringList{"two\r\nlines", "", "x"}));
        const auto last = r.next(3);
        QCOMPARE(last->line, 5); // after the two-line record and a blank line
        QCOMPARE(last->fields, (QStringList{"last", "", "z"}));
        QVERIFY(!last->error);
        QVERIFY(!r.next());

        // Bytes that are not UTF-8 are GBK.
        Csv::Reader g("\xD0\xD5\xC3\xFB,\xB5\xD8\xD6\xB7\n\xCD\xF5\xCE\xB0,\xB1\xB1\xBE\xA9");
        QCOMPARE(g.encoding(), Csv::Encoding::Gbk);
        QCOMPARE(fields(g), (QStringList{"姓名", "地址"}));
        QCOMPARE(fields(g), (QStringList{"王伟", "北京"}));
    }

    void faultsNameTheirLineAndColumn()
    {
        const QByteArray bytes = "cName,cTEL,cADD\r\n"
                                 "a,1,x\r\n"
                                 "b,2\r\n"
                                 "c,\xFF\xFF,z\r\n" +
                                 QStringLiteral("d,3,%1\r\n").arg(QString(98, u'长')).toUtf8() +
                                 "e,4,\"open\r\nstill open";
        const MergeRun::Table t = MergeRun::check(bytes, kTemplate, {});
        using Kind = MergeRun::Fault::Kind;
        QCOMPARE(t.goodRows, 1);
        QCOMPARE(t.faults.size(), 4u);
        QCOMPARE(t.faults[0].kind, Kind::FieldCount);
        QCOMPARE(t.faults[0].line, 3);
        QCOMPARE(t.faults[0].fields, 2);
        QCOMPARE(t.faults[0].expected, 3);
        QCOMPARE(t.faults[1].kind, Kind::BadBytes);
        QCOMPARE(std::pair(t.faults[1].line, t.faults[1].column), std::pair(4, 2));
        // "地址：" and 98 characters are 101, one more than the text panel takes.
        QCOMPARE(t.faults[2].kind, Kind::TooLong);
        QCOMPARE(std::pair(t.faults[2].line, t.faults[2].column), std::pair(5, 3));
        QCOMPARE(t.faults[3].kind, Kind::UnterminatedQuote);
        QCOMPARE(std::pair(t.faults[3].line, t.faults[3].column), std::pair(6, 3));
        QVERIFY(t.refused({}));
        QVERIFY(!t.refused({{}, false, true, 0}));
    }

    // Faults of the header, its columns or the whole table are refused with --skip-bad too.
    void tableFaultsAreRefusedWhateverTheSettings()
    {
        using Kind = MergeRun::Fault::Kind;
        const MergeRun::Settings skipBad{{}, true, true, 0};
        const auto only = [&](const QByteArray &bytes, const MergeRun::Settings &settings = {{}, true, true, 0}) {
            const MergeRun::Table t = MergeRun::check(bytes, kTemplate, settings);
            return t.refused(settings) && t.faults.back().wholeTable ? t.faults.back() : MergeRun::Fault{};
        };
        // A header byte that is neither UTF-8 nor GBK: the rows were read with no columns (a crash).
        const MergeRun::Fault bytes = only("\xd0\xd5\xc3\xfb,\xd6\xb0\xce\xbb\xff\n\xcd\xf5\xce\xb0,a\n");
        QCOMPARE(bytes.kind, Kind::BadBytes);
        QCOMPARE(std::pair(bytes.line, bytes.column), std::pair(1, 2));
        const MergeRun::Fault quote = only("姓名,\"电话\n王伟,1\n");
        QCOMPARE(quote.kind, Kind::UnterminatedQuote);
        QCOMPARE(only("姓名,电话\r\n").kind, Kind::NoRows);
        // Every row bad: each is listed, then the table is refused.
        const MergeRun::Table allBad = MergeRun::check(table({"姓名,电话", "王伟", "李娜,1,2"}), kTemplate, skipBad);
        QCOMPARE(allBad.faults.size(), 3u);
        QCOMPARE(allBad.faults[1].line, 3);
        QCOMPARE(allBad.faults[2].kind, Kind::NoRows);
        QVERIFY(allBad.refused(skipBad));
        const MergeRun::Fault noText = only("工号,部门\n7,销售\n");
        QCOMPARE(noText.kind, Kind::NoTextColumns);
        QCOMPARE(noText.names, (QStringList{"工号", "部门"}));
        QCOMPARE(only("工号\n7\n", {QStringLiteral("工号"), false, false, 0}).kind, Kind::NoTextColumns);
        // A row that is fine keeps the table.
        QVERIFY(!MergeRun::check(table({"姓名,电话", "王伟", "李娜,1"}), kTemplate, skipBad).refused(skipBad));
    }

    // Lines in two encodings: the one most lines of more than ASCII are in holds,
    // and the first line in the other is named.
    void mixedEncodingsNameTheFirstOtherLine()
    {
        const QByteArray utf8Header = QStringLiteral("姓名,电话\r\n").toUtf8();
        const QByteArray gbkRows = gbk(QStringLiteral("王伟,1\r\nab,2\r\n李娜,3\r\n"));
        Csv::Reader gbkTable(utf8Header + gbkRows);
        QCOMPARE(gbkTable.encoding(), Csv::Encoding::Gbk);
        QCOMPARE(gbkTable.foreignLine(), 1);
        const MergeRun::Table t = MergeRun::check(utf8Header + gbkRows, kTemplate, {});
        QCOMPARE(t.faults.size(), 1u);
        QCOMPARE(t.faults[0].kind, MergeRun::Fault::Kind::MixedEncoding);
        QCOMPARE(t.faults[0].line, 1);
        QCOMPARE(t.faults[0].names, (QStringList{"UTF-8", "GBK"}));

        Csv::Reader utf8Table(utf8Header + QStringLiteral("王伟,1\n").toUtf8() + gbk(QStringLiteral("李娜,3")));
        QCOMPARE(utf8Table.encoding(), Csv::Encoding::Utf8);
        QCOMPARE(utf8Table.foreignLine(), 3);
        // A line in neither encoding, or in ASCII, speaks for none.
        Csv::Reader plain("a,b\n\xff\xff,c\n" + gbk(QStringLiteral("王伟,1")));
        QCOMPARE(plain.encoding(), Csv::Encoding::Gbk);
        QCOMPARE(plain.foreignLine(), 0);
    }

    void headerNamesInBothForms()
    {
        const auto c = CardMerge::mapColumns({" cname ", "职位", "E-MAIL", "工号", "QQ", "CTel"});
        QCOMPARE(c->column[std::size_t(TextRole::Name)], 0);
        QCOMPARE(c->column[std::size_t(TextRole::Job)], 1);
        QCOMPARE(c->column[std::size_t(TextRole::Email)], 2);
        QCOMPARE(c->column[std::size_t(TextRole::QQ)], 4);
        QCOMPARE(c->column[std::size_t(TextRole::Telephone)], 5);
        QCOMPARE(c->column[std::size_t(TextRole::Address)], -1);
        QCOMPARE(c->unknown, QStringList{"工号"});
        QCOMPARE(c->nameColumn, 0);
        QCOMPARE(CardMerge::roleOf(QStringLiteral("邮箱")), TextRole::Email);
        // A name column of its own is no unknown column; one that is missing is refused.
        QCOMPARE(CardMerge::mapColumns({"姓名", "工号"}, QStringLiteral("工号"))->unknown, QStringList());
        QVERIFY(!CardMerge::mapColumns({"姓名"}, QStringLiteral("工号")));
        QCOMPARE(CardMerge::mapColumns({"cName", "姓名"})->duplicated, QStringList{"姓名"});

        const MergeRun::Table unknown = MergeRun::check("姓名,工号\r\n王伟,7\r\n", kTemplate, {});
        QCOMPARE(unknown.faults.front().kind, MergeRun::Fault::Kind::UnknownColumns);
        QVERIFY(!MergeRun::check("姓名,工号\r\n王伟,7\r\n", kTemplate, {{}, true, false, 0}).refused({}));
    }

    // "反面:" or "back:" and a text's name fill the back, checked and placed as a front text.
    void backColumnsFillTheBack()
    {
        const auto c = CardMerge::mapColumns({"姓名", " 反面：姓名 ", "Back : cjob", "back:姓名", "背面:姓名"});
        QCOMPARE(c->backColumn, (std::array<int, kTextCount>{1, 2, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
        QCOMPARE(c->duplicated + c->unknown, (QStringList{"back:姓名", "背面:姓名"}));
        CardDocument twoSided = kTemplate;
        twoSided.addBack();
        // 60 characters cover the job title below even when set smaller; 101 are too many.
        const MergeRun::Table t = MergeRun::check(
            table({"反面:姓名,姓名", QString(60, u'王') + ",王伟", QString(101, u'x') + ",李娜", "Zhang San,张三"}), twoSided, {});
        using Kind = MergeRun::Fault::Kind;
        QCOMPARE(t.faults.size(), 1u);
        QCOMPARE(std::tuple(t.faults[0].kind, t.faults[0].line, t.faults[0].column), std::tuple(Kind::TooLong, 3, 1));
        QCOMPARE(t.unfit.size(), 1u);
        QCOMPARE(std::tuple(t.unfit[0].kind, t.unfit[0].line, t.unfit[0].column, t.unfit[0].names),
                 std::tuple(Kind::TextOverlap, 2, 1, QStringList{"反面:姓名", "反面:职位"}));
        // A template shown on its back makes cards that show their front.
        PageView view;
        showSide(twoSided, view, CardSide::Back);
        const CardDocument made = MergeRun::cardOf(t, {"Zhang San", "张三"}, twoSided, view).card;
        QCOMPARE(made.text(TextRole::Name).caption + made.otherSide->text(TextRole::Name).caption, "张三Zhang San");

        QTemporaryDir dir;
        const QString one = dir.filePath("one.pnk"), two = dir.filePath("two.pnk"), csv = dir.filePath("p.csv");
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"new", one}), 0);
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"new", two, "--back"}), 0);
        writeFile(csv, table({"姓名,反面:姓名,back:cJob", "王伟,Wang Wei,Sales", "李娜,Li Na,"}));
        QCOMPARE(mergeTool({one, csv, "-o", dir.filePath("one")}),
                 std::pair(1, "penlark-card: " + csv + ": columns for the back of a template that has no back: "
                                                       "反面:姓名, back:cJob (give the template a back first)\n"
                                                       "penlark-card: nothing written\n"));
        QCOMPARE(mergeTool({two, csv, "-o", dir.filePath("two")}).first, 0);
        const IniFile first = IniStore::load(dir.filePath("two/王伟.pnk"));
        const IniFile second = IniStore::load(dir.filePath("two/李娜.pnk"));
        QCOMPARE(second.value(u"cName", u"caption").value() + second.value(u"bName", u"caption").value(), "李娜Li Na");
        // An empty cell hides a back text as a front one; what no column fills stays the template's.
        QCOMPARE(first.value(u"bJob", u"caption").value() + first.value(u"bJob", u"visible").value() +
                     second.value(u"bJob", u"visible").value() + second.value(u"bCmp", u"caption").value(),
                 "SalesTrueFalseBeijing Qinghe Culture Co., Ltd.");
    }

    void cellsReplaceTheValueAfterTheLabel()
    {
        QCOMPARE(CardMerge::mergedText(QStringLiteral("电话：010-1"), QStringLiteral(" 020-2 ")), "电话：020-2");
        QCOMPARE(CardMerge::mergedText(QStringLiteral("电话：010-1"), QStringLiteral("电话：030")), "电话：030");
        QCOMPARE(CardMerge::mergedText(QStringLiteral("网址：http://a.cn"), QStringLiteral("b.cn")), "网址：http://b.cn");
        QCOMPARE(CardMerge::mergedText(QStringLiteral("Tel: 1"), QStringLiteral("2\r\n3")), "Tel: 2 3");
        QCOMPARE(CardMerge::mergedText(QStringLiteral("李明"), QStringLiteral("王伟")), "王伟");

        const auto columns = CardMerge::mapColumns({"姓名", "传真", "地址"});
        CardDocument card = kTemplate;
        PageView view;
        const QString address = QStringLiteral("北京市海淀区学院路三十八号青禾文化大厦东座十二层一二零八室");
        QVERIFY(!CardMerge::applyRow(*columns, {"王伟", "", address}, card, view));
        QCOMPARE(card.text(TextRole::Name).caption, "王伟");
        QVERIFY(!card.text(TextRole::Fax).visible);
        QCOMPARE(card.text(TextRole::Fax).caption, kTemplate.text(TextRole::Fax).caption);
        // The long address, a block of two lines over the texts below it at its
        // own size, is set smaller down to 7 points, where it is one line again
        // at the template's place.
        const CardText &a = card.text(TextRole::Address);
        QCOMPARE(a.caption, "地址：" + address);
        QCOMPARE(a.FontSize, 7.f);
        QCOMPARE(a.Left, 240.f);
        QVERIFY(!view.textBlocks[std::size_t(TextRole::Address)]);
    }

    void namesAreSafeAndNumbered()
    {
        QCOMPARE(CardNames::safeName(QStringLiteral(" a/b:c*?. ")), "a_b_c__");
        QCOMPARE(CardNames::safeName(QStringLiteral("..")), "名片");
        QCOMPARE(CardNames::safeName(QString(300, u'王')).toUtf8().size(), 243); // 81 characters, room for "(n)"
        // A cut keeps whole characters and bares no dot at the end.
        QCOMPARE(CardNames::safeName(QString(80, u'王') + QStringLiteral("😀😀")), QString(80, u'王'));
        QCOMPARE(CardNames::safeName(QString(80, u'王') + QStringLiteral(".王")), QString(80, u'王'));
        CardNames names;
        names.reserve(QStringLiteral("李明"));
        QCOMPARE(names.take(QStringLiteral("王伟")), "王伟");
        QCOMPARE(names.take(QStringLiteral("王伟")), "王伟(2)");
        QCOMPARE(names.take(QStringLiteral("王伟(2)")), "王伟(2)(2)");
        QCOMPARE(names.take(QStringLiteral("李明")), "李明(2)");
        QCOMPARE(names.take(QStringLiteral("Ann")), "Ann");
        QCOMPARE(names.take(QStringLiteral("ANN")), "ANN(2)");
        QCOMPARE(names.take(QString()), "名片");
        // The next number of a name skips those taken by other means.
        names.reserve(QStringLiteral("王伟(4)"));
        QCOMPARE(names.take(QStringLiteral("王伟")), "王伟(3)");
        QCOMPARE(names.take(QStringLiteral("王伟")), "王伟(5)");
        QCOMPARE(names.take(QStringLiteral("王伟(3)")), "王伟(3)(2)");
        // Characters that hide or reverse text, and a leading dot that hides the file.
        QCOMPARE(CardNames::safeName(QStringLiteral("evil\u202Egnp.pnk")), "evil_gnp.pnk");
        QCOMPARE(CardNames::safeName(QStringLiteral("a\u007Fb\u200Bc\u0085d\u2028e")), "a_b_c_d_e");
        QCOMPARE(CardNames::safeName(QStringLiteral(".hidden")), "_hidden");
        QCOMPARE(CardNames::safeName(QStringLiteral(" ..王伟.")), "_.王伟");
    }

    void cardFolderIsWrittenWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("团队"));
        {
            auto output = MergeOutputs::cardFolder(target, nullptr);
            QVERIFY(runInto(people(40), *output, true).cancelled);
        }
        QCOMPARE(folderEntries(dir.path()), QStringList());
        {
            auto output = MergeOutputs::cardFolder(target, nullptr);
            QCOMPARE(runInto(table({"姓名,电话", "王伟,1", "王伟,2"}), *output).made, 2);
            QVERIFY(output->commit(nullptr));
        }
        QCOMPARE(folderEntries(dir.path()), QStringList{"团队"});
        QVERIFY(QFileInfo(target).permissions().testFlag(QFile::ReadOther)); // not a temporary folder's 0700
        QCOMPARE(folderEntries(target), (QStringList{"王伟(2).pnk", "王伟.pnk"}));
        const IniFile second = IniStore::load(QDir(target).filePath(QStringLiteral("王伟(2).pnk")));
        QCOMPARE(second.value(u"cTEL", u"caption"), "电话：2");
        // Into a folder that exists: the made cards are added beside the cards there.
        auto output = MergeOutputs::cardFolder(target, nullptr);
        QCOMPARE(runInto(table({"姓名", "王伟"}), *output, false, 1).made, 1);
        QCOMPARE(folderEntries(target).size(), 2);
        QVERIFY(output->commit(nullptr));
        QCOMPARE(folderEntries(target), (QStringList{"王伟(2).pnk", "王伟(3).pnk", "王伟.pnk"}));
        output.reset();
        QCOMPARE(folderEntries(dir.path()), QStringList{"团队"});
    }

    // The next run into a folder finishes the move of a killed run that had
    // written its journal, and removes what other killed runs left; the work of
    // a run still going stays.
    void leftoversOfKilledRunsAreCleared()
    {
        QTemporaryDir dir;
        const QDir parent(dir.path());
        const QString target = dir.filePath(QStringLiteral("团队"));
        QVERIFY(parent.mkpath(QStringLiteral("团队")));
        writeFile(target + QStringLiteral("/a.pnk"), "moved before the kill");
        const auto work = [&](const QString &name, const QStringList &files) {
            QVERIFY(parent.mkdir(name));
            for (const QString &file : files) writeFile(parent.filePath(name + u'/' + file), "card");
        };
        work(QStringLiteral(".penlark-merge-Unsure"), {"x.pnk"});
        work(QStringLiteral(".penlark-merge-Moving"), {"b.pnk", "c.pnk"});
        const auto journalOf = [](const QString &into, const QStringList &names) {
            QByteArray journal;
            QDataStream stream(&journal, QIODevice::WriteOnly);
            stream << into << names;
            return journal;
        };
        writeFile(parent.filePath(QStringLiteral(".penlark-merge-Moving/journal")),
                  journalOf(QStringLiteral("团队"), {"a.pnk", "b.pnk", "c.pnk"}));
        // A journal naming a path that leaves the folder moves nothing there.
        work(QStringLiteral(".penlark-merge-Escape"), {"z.pnk"});
        QVERIFY(parent.mkpath(QStringLiteral("sub/团队")));
        writeFile(parent.filePath(QStringLiteral(".penlark-merge-Escape/journal")),
                  journalOf(QStringLiteral("sub/团队"), {"z.pnk"}));
        work(QStringLiteral(".penlark-merge-Living"), {"y.pnk"});
        QLockFile living(parent.filePath(QStringLiteral(".penlark-merge-Living.lock")));
        QVERIFY(living.tryLock(0));
        // The lock of a run that died, left alone after its work was gone.
        QProcess ended;
        ended.start(QStringLiteral("sh"), {"-c", "echo $$"});
        QVERIFY(ended.waitForFinished());
        writeFile(parent.filePath(QStringLiteral(".penlark-merge-Killed.lock")),
                  ended.readAllStandardOutput().trimmed() + "\npenlark-card\n\n");

        // Older than the next run, as every leftover is.
        const utimbuf past{1'000'000'000, 1'000'000'000};
        for (const char *name : {".penlark-merge-Unsure", ".penlark-merge-Moving", ".penlark-merge-Escape",
                                 ".penlark-merge-Living"})
            QVERIFY(utime(QFile::encodeName(parent.filePath(name)).constData(), &past) == 0);

        auto output = MergeOutputs::cardFolder(target, nullptr);
        QVERIFY(output);
        QStringList left = folderEntries(dir.path()).filter(QStringLiteral(".penlark-merge-"));
        QCOMPARE(left.size(), 4); // this run's folder and lock, and the living run's
        QVERIFY(left.contains(QStringLiteral(".penlark-merge-Living")));
        QVERIFY(left.contains(QStringLiteral(".penlark-merge-Living.lock")));
        QCOMPARE(folderEntries(target), (QStringList{"a.pnk", "b.pnk", "c.pnk"}));
        QCOMPARE(folderEntries(dir.filePath(QStringLiteral("sub/团队"))), QStringList());
        output.reset();
        QCOMPARE(folderEntries(dir.path()),
                 (QStringList{".penlark-merge-Living", ".penlark-merge-Living.lock", "sub", "团队"}));
    }

    void sheetsTakeTheRowsInOrder()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("s.pdf"));
        auto output = MergeOutputs::sheetPdf(pdf, {2, 3}, true, false, QStringLiteral("团队"), nullptr);
        QCOMPARE(runInto(people(13), *output).made, 13);
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(output->commit(nullptr));
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Pages")), "3");
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Title")), "团队");
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Page size")), "595.35 x 841.95 pts (A4)");
        // Columns fill first: PA-PC down the left, PD-PF down the right; PM alone on page 3.
        const QString page1 = PdfProbe::run(QStringLiteral("pdftotext"), {"-f", "1", "-l", "1", "-layout", pdf, "-"});
        QStringList names;
        for (const QString &line : page1.split(u'\n'))
            for (const QString &word : line.split(u' ', Qt::SkipEmptyParts))
                if (word.size() == 2 && word.startsWith(u'P')) names << word;
        QCOMPARE(names, (QStringList{"PA", "PD", "PB", "PE", "PC", "PF"}));
        const QString page3 = PdfProbe::run(QStringLiteral("pdftotext"), {"-f", "3", "-l", "3", pdf, "-"});
        QVERIFY(page3.contains(QStringLiteral("PM")) && !page3.contains(QStringLiteral("PL")));

        // Cut marks outside the block replace the crop marks in each card's bleed
        // (the first card's top-left 3 mm, 6 mm in from the sheet's corner), as for penlark-card sheet.
        const QString marked = dir.filePath(QStringLiteral("m.pdf"));
        auto withMarks = MergeOutputs::sheetPdf(marked, {2, 3}, false, true, QString(), nullptr);
        QCOMPARE(runInto(people(1), *withMarks).made, 1);
        QVERIFY(withMarks->commit(nullptr));
        const QImage bleed = PdfProbe::renderArea(marked, 144, QRect(34, 34, 24, 24), true);
        QCOMPARE(bleed.size(), QSize(24, 24));
        for (int y = 0; y < bleed.height(); ++y)
            for (int x = 0; x < bleed.width(); ++x) QCOMPARE(qGray(bleed.pixel(x, y)), 255);
    }

    void cardPdfHasOnePagePerRow()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("c.pdf"));
        {
            auto output = MergeOutputs::cardPdf(pdf, PrintShopPdf::Form::Trim, {}, nullptr);
            QVERIFY(runInto(people(5), *output, true).cancelled);
        }
        QCOMPARE(folderEntries(dir.path()), QStringList());
        auto output = MergeOutputs::cardPdf(pdf, PrintShopPdf::Form::Trim, {}, nullptr);
        QCOMPARE(runInto(people(5), *output).made, 5);
        QVERIFY(output->commit(nullptr));
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Pages")), "5");
        QVERIFY(QFileInfo(pdf).permissions().testFlag(QFile::ReadOther)); // not a temporary file's 0600
        // 96 x 60 mm less the bleed: 90 x 54 mm.
        QCOMPARE(PdfProbe::info(pdf, QStringLiteral("Page size")), "255.15 x 153.1 pts");
        // The text map found on the worker threads gives each page its own row's texts.
        const QString page4 = PdfProbe::run(QStringLiteral("pdftotext"), {"-f", "4", "-l", "4", pdf, "-"});
        QVERIFY(page4.contains(QStringLiteral("PD\n")) && page4.contains(QStringLiteral("电话：4\n")));
        QVERIFY(!page4.contains(QStringLiteral("PC")));
    }

    void toolWritesNothingForABadTable()
    {
        QTemporaryDir dir;
        const QString card = dir.filePath(QStringLiteral("t.pnk"));
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"new", card}), 0);
        QFile csv(dir.filePath(QStringLiteral("p.csv")));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(table({"姓名,电话", "王伟,1", "李明", "张三,3"}));
        csv.close();
        auto merge = [&](const QStringList &extra) {
            QProcess p;
            p.start(QStringLiteral(PENLARK_CARD_EXE),
                    QStringList{"merge", card, csv.fileName(), "-o", dir.filePath(QStringLiteral("out"))} + extra);
            p.waitForFinished();
            return std::pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
        };
        const auto refused = merge({});
        QCOMPARE(refused.first, 1);
        QCOMPARE(refused.second, "penlark-card: " + csv.fileName() +
                                     ": line 3: 1 fields where the header has 2\npenlark-card: nothing written\n");
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("out"))));
        const auto skipped = merge({"--skip-bad", "--jobs", "1"});
        QCOMPARE(skipped.first, 0);
        QVERIFY(skipped.second.contains(QStringLiteral("skipped line 3")));
        QCOMPARE(folderEntries(dir.filePath(QStringLiteral("out"))), (QStringList{"张三.pnk", "王伟.pnk"}));
        // A header fault with --skip-bad, and a table whose every row is bad, write
        // nothing into a folder as into a PDF.
        writeFile(dir.filePath("bh.csv"), "\xd0\xd5\xc3\xfb,\xd6\xb0\xce\xbb\xff\n\xcd\xf5\xce\xb0,a\n");
        writeFile(dir.filePath("bad.csv"), table({"姓名,电话", "王伟", "李明"}));
        for (const char *out : {"new", "new.pdf"}) {
            const auto header = mergeTool({card, dir.filePath("bh.csv"), "-o", dir.filePath(out), "--skip-bad"});
            QCOMPARE(header, std::pair(1, "penlark-card: " + dir.filePath("bh.csv") +
                                              ": line 1, column 2: bytes that are neither UTF-8 nor GBK\n"
                                              "penlark-card: nothing written\n"));
            const auto bad = mergeTool({card, dir.filePath("bad.csv"), "-o", dir.filePath(out), "--skip-bad"});
            QCOMPARE(bad.first, 1);
            QVERIFY2(bad.second.endsWith(": no row below the header can be made into a card\n"
                                         "penlark-card: nothing written\n"), qPrintable(bad.second));
        }
        QCOMPARE(folderEntries(dir.path()), (QStringList{"bad.csv", "bh.csv", "out", "p.csv", "t.pnk"}));
        // One line of the tool's own for an output it cannot make.
        const QString missing = dir.filePath("no/such/out");
        for (const QString &out : {missing, missing + ".pdf"})
            QCOMPARE(mergeTool({card, csv.fileName(), "-o", out, "--skip-bad"}),
                     std::pair(1, "penlark-card: " + csv.fileName() + ": skipped line 3: 1 fields where the header has 2\n"
                                  "penlark-card: cannot write " + out + ": the folder " + dir.filePath("no/such") +
                                  " does not exist\n"));
        QCOMPARE(mergeTool({card, csv.fileName(), "-o", card, "--skip-bad"}).second.section(u'\n', 1),
                 "penlark-card: cannot write " + card + ": is a file, not a folder\n");
        // A table of 100 MB is refused by its size before it is read.
        QFile huge(dir.filePath("huge.csv"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(100 << 20));
        QCOMPARE(mergeTool({card, huge.fileName(), "-o", dir.filePath("h.pdf")}),
                 std::pair(1, "penlark-card: cannot read " + huge.fileName() + ": is too large\n"));
        // One card a page takes one form, as render does.
        QCOMPARE(QProcess::execute(QStringLiteral(PENLARK_CARD_EXE), {"merge", card, csv.fileName(), "-o",
                                                                      dir.filePath("t.pdf"), "--trim", "--marks"}),
                 2);
    }
};

QTEST_MAIN(TestMerge)
#include "test_merge.moc"
