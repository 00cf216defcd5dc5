#include "cp932.h"
#include "datafiles.h"
#include "memberimport.h"
#include "testfiles.h"
#include "toolargs.h"
#include "toolfixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace toolfixture;

namespace {

// Display columns as a terminal counts them for the texts used here: CJK and kana take two.
int columns(const QString& text) {
    int width = 0;
    for (QChar c : text)
        width += c.unicode() >= 0x3000 ? 2 : 1;
    return width;
}

// The display column at which `needle` starts in `line`, or -1.
int columnOf(const QString& line, const QString& needle, qsizetype from = 0) {
    const qsizetype at = line.indexOf(needle, from);
    return at < 0 ? -1 : columns(line.left(at));
}

// The display column of the title `name` standing alone (between blanks) in the title row.
int titleColumn(const QString& titles, const QString& name) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("(?:^|(?<= ))") + name + QStringLiteral("(?= |$)")).match(titles);
    return match.hasMatch() ? columns(titles.left(match.capturedStart())) : -1;
}

const QString kNoDance = QStringLiteral("出場種目が1種目以上必要です。");
const QString kShared = QStringLiteral("パートナーで種目が重なっています。");

} // namespace

class TestToolCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_good;    // three couples, all passing, names with commas and quotes
    QString m_bad;     // another university, two couples breaking the rules
    QString m_empty;   // no couples
    QString m_broken;  // cut short
    QString m_members; // member.dat
    QString m_uni;     // uniinf.dat
    QString m_twice;   // passes, but one partner dances Walts in two couples of one event

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_good = path(QStringLiteral("A大学_春.ent"));
        m_bad = path(QStringLiteral("B.ent"));
        m_empty = path(QStringLiteral("empty.ent"));
        m_broken = path(QStringLiteral("broken.ent"));
        m_members = path(QStringLiteral("member.dat"));
        m_uni = path(QStringLiteral("uniinf.dat"));

        // Stored in the order 30, 5, 12.
        CoupleRecord c30 = testfiles::couple(30, leader(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"), 3),
                                             {partner(QStringLiteral("佐藤花子"), QStringLiteral("さとうはなこ"), 2)},
                                             {QStringLiteral("QW")});
        c30.regular = 1;
        CoupleRecord c5 =
            testfiles::couple(5, leader(QStringLiteral("田中, \"一郎\""), QStringLiteral("たなか,いちろう"), 2),
                              {partner(QStringLiteral("鈴木\"はな\""), QStringLiteral("すずき"), 1),
                               partner(QStringLiteral("高橋"), QStringLiteral("たかはし\r\nよう"), 4)},
                              {QStringLiteral("CS"), QStringLiteral("RP")});
        c5.section = 1;
        CoupleRecord c12 =
            testfiles::couple(12, leader(QStringLiteral("伊藤"), QStringLiteral("いとう"), 4),
                              {partner(QStringLiteral("渡辺"), QStringLiteral("わたなべ"), 3)}, {QStringLiteral("W")});
        c12.section = 2;
        writeEntry(m_good, {c30, c5, c12}, university(QStringLiteral("A大学"), QStringLiteral("春の大会")));

        CoupleRecord c7 = testfiles::couple(7, leader(QStringLiteral("L7"), {}, 1),
                                            {partner(QStringLiteral("P7"), {}, 1)}, {QString()});
        CoupleRecord c8 = testfiles::couple(8, leader(QStringLiteral("L8"), {}, 1),
                                            {partner(QStringLiteral("P8"), {}, 1)}, {QStringLiteral("T")});
        CoupleRecord c9 =
            testfiles::couple(9, leader(QStringLiteral("L9"), {}, 1),
                              {partner(QStringLiteral("P9a"), {}, 1), partner(QStringLiteral("P9b"), {}, 1)},
                              {QStringLiteral("WT"), QStringLiteral("QT")});
        writeEntry(m_bad, {c9, c8, c7}, university(QStringLiteral("B大学"), QStringLiteral("春の大会")));

        m_twice = path(QStringLiteral("twice.ent"));
        const MemberRecord hanako = partner(QStringLiteral("花子"), QStringLiteral("はなこ"), 1);
        writeEntry(m_twice,
                   {testfiles::couple(21, leader(QStringLiteral("一郎"), {}, 1), {hanako}, {QStringLiteral("W")}),
                    testfiles::couple(14, leader(QStringLiteral("次郎"), {}, 1), {hanako}, {QStringLiteral("TW")})},
                   university(QStringLiteral("D大学"), QStringLiteral("春の大会")));

        writeEntry(m_empty, {}, university(QStringLiteral("C大学"), QStringLiteral("秋の大会")));
        testfiles::writeBytes(m_broken, testfiles::readBytes(m_good).left(40));

        AppState state;
        state.members = {leader(QStringLiteral("山田太郎"), QStringLiteral("やまだたろう"), 3),
                         partner(QStringLiteral("佐藤花子"), QStringLiteral("さとうはなこ"), 2)};
        state.memberCount = 2;
        state.universityInfo = university(QStringLiteral("A大学"), QStringLiteral("春の大会"));
        QVERIFY(write_member_file(m_members, state));
        QVERIFY(write_university_file(m_uni, state.universityInfo));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expectOut"); // a fragment of standard output ("" : nothing written)
        QTest::addColumn<QString>("expectErr"); // a fragment of the error output ("" : nothing written)
        const QString x = QStringLiteral("x.ent");
        QTest::newRow("nothing") << QStringList{} << 64 << QString() << QStringLiteral("コマンド");
        QTest::newRow("tool help") << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("csv") << QString();
        QTest::newRow("tool help -h") << QStringList{QStringLiteral("-h")} << 0 << QStringLiteral("check") << QString();
        QTest::newRow("show --help") << QStringList{QStringLiteral("show"), QStringLiteral("--help")} << 0
                                     << QStringLiteral("show ファイル") << QString();
        QTest::newRow("help after a wrong option")
            << QStringList{QStringLiteral("check"), QStringLiteral("-q"), QStringLiteral("--help")} << 0
            << QStringLiteral("check ファイル") << QString();
        QTest::newRow("help csv") << QStringList{QStringLiteral("help"), QStringLiteral("csv")} << 0
                                  << QStringLiteral("--encoding") << QString();
        QTest::newRow("unknown command") << QStringList{QStringLiteral("print"), x} << 64 << QString()
                                         << QStringLiteral("print");
        QTest::newRow("no files") << QStringList{QStringLiteral("show")} << 64 << QString()
                                  << QStringLiteral("ファイルを指定");
        QTest::newRow("csv option on show")
            << QStringList{QStringLiteral("show"), QStringLiteral("-o"), QStringLiteral("out.csv"), x} << 64
            << QString() << QStringLiteral("-o");
        QTest::newRow("unknown encoding")
            << QStringList{QStringLiteral("csv"), x, QStringLiteral("--encoding"), QStringLiteral("latin1")} << 64
            << QString() << QStringLiteral("latin1");
        QTest::newRow("--strict on show") << QStringList{QStringLiteral("show"), QStringLiteral("--strict"), x} << 64
                                          << QString() << QStringLiteral("--strict");
        QTest::newRow("-o without value")
            << QStringList{QStringLiteral("csv"), x, QStringLiteral("-o")} << 64 << QString() << QStringLiteral("-o");
        QTest::newRow("two outputs") << QStringList{QStringLiteral("csv"), x, QStringLiteral("-o"),
                                                    QStringLiteral("a.csv"), QStringLiteral("--output=b.csv")}
                                     << 64 << QString() << QStringLiteral("一つ");
    }
    void pdfCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expectOut");
        QTest::addColumn<QString>("expectErr");
        const QString x = QStringLiteral("x.ent");
        QTest::newRow("pdf without -o") << QStringList{QStringLiteral("pdf"), x} << 64 << QString()
                                        << QStringLiteral("-o で指定");
        QTest::newRow("pdf to standard output")
            << QStringList{QStringLiteral("pdf"), x, QStringLiteral("-o"), QStringLiteral("-")} << 64 << QString()
            << QStringLiteral("標準出力には");
        QTest::newRow("csv option on pdf") << QStringList{QStringLiteral("pdf"), x, QStringLiteral("-o"),
                                                          QStringLiteral("a.pdf"), QStringLiteral("--encoding=cp932")}
                                           << 64 << QString() << QStringLiteral("--encoding");
    }
    void pdfCommandLine() { commandLine(); }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expectOut);
        QFETCH(QString, expectErr);
        const ToolRun run = runTool(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(expectOut.isEmpty() ? run.out.isEmpty() : run.outText().contains(expectOut), run.out.constData());
        QVERIFY2(expectErr.isEmpty() ? run.err.isEmpty() : run.errText().contains(expectErr), run.err.constData());
    }

    void csvOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("cp932");
        const QString a = QStringLiteral("a.ent");
        const QString b = QStringLiteral("b.ent");
        QTest::newRow("defaults") << QStringList{QStringLiteral("csv"), a, b} << QStringList{a, b} << QString()
                                  << false;
        QTest::newRow("options between files")
            << QStringList{QStringLiteral("csv"),     a, QStringLiteral("-o"),
                           QStringLiteral("all.csv"), b, QStringLiteral("--encoding"),
                           QStringLiteral("CP932")}
            << QStringList{a, b} << QStringLiteral("all.csv") << true;
        QTest::newRow("= forms") << QStringList{QStringLiteral("csv"), QStringLiteral("--output=x.csv"),
                                                QStringLiteral("--encoding=utf-8"), a}
                                 << QStringList{a} << QStringLiteral("x.csv") << false;
        QTest::newRow("files after --") << QStringList{QStringLiteral("csv"), QStringLiteral("--"),
                                                       QStringLiteral("-o"), QStringLiteral("--help")}
                                        << QStringList{QStringLiteral("-o"), QStringLiteral("--help")} << QString()
                                        << false;
    }
    void csvOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, files);
        QFETCH(QString, output);
        QFETCH(bool, cp932);
        ToolOptions options;
        QString error;
        QVERIFY2(parse_tool_arguments(arguments, options, &error), qPrintable(error));
        QCOMPARE(options.command, ToolCommand::Csv);
        QVERIFY(!options.help);
        QCOMPARE(options.files, files);
        QCOMPARE(options.outputPath, output);
        QCOMPARE(options.encoding, cp932 ? CsvEncoding::Cp932 : CsvEncoding::Utf8WithBom);
    }

    void showEntry() {
        const ToolRun run = runTool({QStringLiteral("show"), m_good});
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        const QStringList lines = run.outText().split(QLatin1Char('\n'));
        const QString text = run.outText();
        QVERIFY(lines.first().contains(QStringLiteral("A大学_春.ent")));
        QVERIFY(text.contains(QStringLiteral("A大学")));
        QVERIFY(text.contains(QStringLiteral("春の大会")));
        QVERIFY(text.contains(QStringLiteral("部長先生")));
        // Both lines of the comment, each on its own line.
        QVERIFY(lines.filter(QStringLiteral("一行目")).size() == 1 &&
                lines.filter(QStringLiteral("二行目")).size() == 1);
        QVERIFY(text.contains(QStringLiteral("カップル数 : 3")));

        // The grid's rows: back numbers 5 (two partners), 12, 30; leader on the first row of a couple only.
        const qsizetype header = lines.indexOf(QRegularExpression(QStringLiteral("^背番号.*")));
        QVERIFY(header > 0);
        const QStringList rows = lines.mid(header + 2, 4);
        QVERIFY2(rows[0].startsWith(QStringLiteral("5 ")) && rows[0].contains(QStringLiteral("田中, \"一郎\"")),
                 qPrintable(rows[0]));
        QVERIFY(rows[1].startsWith(QLatin1Char(' ')) && rows[1].contains(QStringLiteral("高橋")) &&
                !rows[1].contains(QStringLiteral("田中")));
        QVERIFY(rows[2].startsWith(QStringLiteral("12 ")));
        QVERIFY(rows[3].startsWith(QStringLiteral("30 ")));
        QCOMPARE(lines.value(header + 6), QString()); // nothing after the last couple

        // Marks under their dance titles although names of different widths come before them.
        const QString& titles = lines[header];
        const auto markColumns = [](const QString& row) {
            QList<int> found;
            for (qsizetype at = row.indexOf(QStringLiteral("○")); at >= 0;
                 at = row.indexOf(QStringLiteral("○"), at + 1))
                found << columns(row.left(at));
            return found;
        };
        const int w = titleColumn(titles, QStringLiteral("W"));
        const int q = titleColumn(titles, QStringLiteral("Q"));
        QCOMPARE(markColumns(rows[3]), (QList<int>{w, q})); // QW, shown in dance order
        QCOMPARE(markColumns(rows[2]), (QList<int>{w}));    // W
        QCOMPARE(markColumns(rows[1]), (QList<int>{titleColumn(titles, QStringLiteral("R")),
                                                   titleColumn(titles, QStringLiteral("P"))})); // RP
        QCOMPARE(columnOf(rows[3], QStringLiteral("◎")), titleColumn(titles, QStringLiteral("Reguler")));
        QCOMPARE(columnOf(rows[0], QStringLiteral("◎")), -1);
        QCOMPARE(columnOf(rows[0], QStringLiteral("Latin")), titleColumn(titles, QStringLiteral("MorL")));
        QCOMPARE(columnOf(rows[1], QStringLiteral("Latin")), titleColumn(titles, QStringLiteral("MorL")));
        QVERIFY(rows[2].endsWith(QStringLiteral("Rookie")));
        QVERIFY(rows[3].endsWith(QStringLiteral("Modan")));
    }

    void showEmptyEntryShowsItsUniversity() {
        const ToolRun run = runTool({QStringLiteral("show"), m_empty});
        QCOMPARE(run.status, 0);
        QVERIFY(run.outText().contains(QStringLiteral("C大学")));
        QVERIFY(run.outText().contains(QStringLiteral("秋の大会")));
        QVERIFY(run.outText().contains(QStringLiteral("カップル数 : 0")));
        QVERIFY(!run.outText().contains(QStringLiteral("背番号")));
    }

    void showMemberAndUniversityFiles() {
        const ToolRun run = runTool({QStringLiteral("show"), m_members, m_uni});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.outText().split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("メンバー数 : 2")));
        const QStringList yamada = lines.filter(QStringLiteral("山田太郎"));
        QCOMPARE(yamada.size(), 1);
        QVERIFY(yamada.first().contains(QStringLiteral("やまだたろう")) &&
                yamada.first().endsWith(QStringLiteral("leader")));
        QVERIFY(lines.filter(QStringLiteral("佐藤花子")).first().endsWith(QStringLiteral("partner")));
        // The university file follows the roster with its seven fields.
        const qsizetype uniHeading = lines.indexOf(QRegularExpression(QStringLiteral("^== .*uniinf\\.dat.*")));
        QVERIFY(uniHeading > 0);
        QVERIFY(lines[uniHeading + 1].startsWith(QStringLiteral("大学名")) &&
                lines[uniHeading + 1].endsWith(QStringLiteral("A大学")));
        QVERIFY(run.outText().contains(QStringLiteral("春の大会")));
    }

    void showGoesOnPastBadFiles() {
        const QString missing = path(QStringLiteral("gone.ent"));
        const ToolRun run = runTool({QStringLiteral("show"), m_broken, m_good, missing, m_uni});
        QCOMPARE(run.status, 2);
        QVERIFY(run.outText().contains(QStringLiteral("山田太郎")));
        QVERIFY(run.outText().contains(QStringLiteral("uniinf.dat")));
        QVERIFY(!run.outText().contains(QStringLiteral("broken.ent")));
        QVERIFY(run.errText().contains(QStringLiteral("broken.ent")));
        QVERIFY(run.errText().contains(QStringLiteral("gone.ent")));
        QVERIFY(runTool({QStringLiteral("show"), m_dir.path()}).errText().contains(QStringLiteral("フォルダー")));
    }

    // Gamename.txt is known by its name in any letter case and listed as the program's list offers it.
    void showGameNames() {
        const QString names = path(QStringLiteral("GAMENAME.TXT"));
        testfiles::writeBytes(names, QStringLiteral("2\n春の大会\n秋の部内戦\n冬\n").toUtf8());
        const ToolRun run = runTool({QStringLiteral("show"), names});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.outText().split(QLatin1Char('\n'));
        QVERIFY(lines.first().contains(QStringLiteral("試合名ファイル")));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^\\d +"))),
                 (QStringList{QStringLiteral("1     春の大会"), QStringLiteral("2     秋の部内戦")}));
    }

    void check_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("passing") << QStringList{m_good, m_empty} << 0
                                 << QStringList{m_good + QStringLiteral(": ok"), m_empty + QStringLiteral(": ok")};
        // Every problem of the file, in the order of the couple list, with its back number.
        QTest::newRow("problems") << QStringList{m_good, m_bad} << 1
                                  << QStringList{m_good + QStringLiteral(": ok"),
                                                 m_bad + QStringLiteral(": 背番号9: ") + kShared,
                                                 m_bad + QStringLiteral(": 背番号7: ") + kNoDance};
        QTest::newRow("damaged among good")
            << QStringList{m_good, m_broken, m_bad} << 2
            << QStringList{m_good + QStringLiteral(": ok"), m_broken + QStringLiteral(": 読み込めませんでした。"),
                           m_bad + QStringLiteral(": 背番号9: ") + kShared,
                           m_bad + QStringLiteral(": 背番号7: ") + kNoDance};
        // A member entered twice for one dance is a warning: the exit status stays 0 unless --strict.
        const QString warning =
            QStringLiteral("警告: ") + m_twice + QStringLiteral(": 花子（はなこ） ワルツ (W): 背番号 14, 21");
        QTest::newRow("warning") << QStringList{m_twice, m_good} << 0
                                 << QStringList{warning, m_good + QStringLiteral(": ok")};
        QTest::newRow("warning, strict") << QStringList{QStringLiteral("--strict"), m_twice, m_good} << 1
                                         << QStringList{warning, m_good + QStringLiteral(": ok")};
        QTest::newRow("missing") << QStringList{path(QStringLiteral("none.ent")), m_good} << 2
                                 << QStringList{path(QStringLiteral("none.ent")) +
                                                    QStringLiteral(": 読み込めませんでした。"),
                                                m_good + QStringLiteral(": ok")};
        // Only entry files (and Gamename.txt, for what the program leaves out) are checked: the program's other
        // files by their names (also at the end of a link), anything else by reading it as an entry file.
        const QString notEntry = QStringLiteral(": エントリーファイルではありません。");
        const QString games = path(QStringLiteral("Gamename.txt"));
        const QString linked = path(QStringLiteral("roster-link.ent"));
        const QString renamed = path(QStringLiteral("roster.ent"));
        QTest::newRow("not entry files") << QStringList{m_members, m_uni, games, linked, renamed, m_good} << 2
                                         << QStringList{m_members + notEntry,
                                                        m_uni + notEntry,
                                                        games + QStringLiteral(": ok"),
                                                        linked + notEntry,
                                                        renamed + QStringLiteral(": 読み込めませんでした。"),
                                                        m_good + QStringLiteral(": ok")};
    }
    void check() {
        QFETCH(QStringList, files);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        testfiles::writeBytes(path(QStringLiteral("Gamename.txt")), "1\r\nA\r\n");
        QFile::remove(path(QStringLiteral("roster-link.ent")));
        QVERIFY(QFile::link(m_members, path(QStringLiteral("roster-link.ent"))));
        QFile::remove(path(QStringLiteral("roster.ent")));
        QVERIFY(QFile::copy(m_members, path(QStringLiteral("roster.ent"))));
        const ToolRun run = runTool(QStringList{QStringLiteral("check")} + files);
        QCOMPARE(run.status, status);
        QCOMPARE(run.outText(), lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        if (status == 2) {
            // The reason names every file that failed.
            for (const QString& line : lines) {
                if (line.endsWith(QLatin1String(": ok")) || line.contains(QStringLiteral(": 背番号")))
                    continue;
                const QString failed = line.section(QStringLiteral(": "), 0, 0);
                QVERIFY2(run.errText().contains(QStringLiteral("「%1」").arg(failed)), qPrintable(run.errText()));
            }
        } else {
            QVERIFY(run.err.isEmpty());
        }
    }

    // Gamename.txt as people write it: names beyond the count and a line that cannot be read are warnings that
    // name their lines (show and check); check exits 0 unless --strict, and a list beyond 1,000 names is refused.
    void gameNamesWarnings_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("strict");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("named"); // in the warning, or in the refusal
        QTest::newRow("short count") << QByteArray("1\r\nA\r\nB\r\nC\r\n") << false << 0 << QStringLiteral("3, 4 行目");
        QTest::newRow("short count, strict") << QByteArray("1\r\nA\r\nB\r\n") << true << 1 << QStringLiteral("3 行目");
        QTest::newRow("a stray byte") << QStringLiteral("春\n").toUtf8() + "\xFF\n" + QStringLiteral("秋\n").toUtf8()
                                      << false << 0 << QStringLiteral("2 行目");
        QByteArray many;
        for (int i = 0; i < 1001; ++i)
            many += "G" + QByteArray::number(i) + "\n";
        QTest::newRow("1,001 names") << many << false << 2 << QStringLiteral("1,000");
    }
    void gameNamesWarnings() {
        QFETCH(QByteArray, file);
        QFETCH(bool, strict);
        QFETCH(int, status);
        QFETCH(QString, named);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("lists")));
        const QString games = path(QStringLiteral("lists/Gamename.txt"));
        testfiles::writeBytes(games, file);
        QStringList arguments = {QStringLiteral("check"), games};
        if (strict)
            arguments << QStringLiteral("--strict");
        const ToolRun check = runTool(arguments);
        QCOMPARE(check.status, status);
        const ToolRun show = runTool({QStringLiteral("show"), games});
        QCOMPARE(show.status, status == 2 ? 2 : 0);
        if (status == 2) {
            QVERIFY2(check.errText().contains(named) && show.errText().contains(named), qPrintable(check.errText()));
            return;
        }
        QVERIFY2(check.outText().startsWith(QStringLiteral("警告: ") + games) && check.outText().contains(named),
                 qPrintable(check.outText()));
        QVERIFY2(show.outText().contains(QStringLiteral("警告: ") + named), qPrintable(show.outText()));
    }

    void csvReadsBack() {
        const QString out = path(QStringLiteral("all.csv"));
        const ToolRun run = runTool({QStringLiteral("csv"), m_good, m_empty, m_bad, QStringLiteral("-o"), out});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.isEmpty() && run.err.isEmpty());
        const QByteArray bytes = testfiles::readBytes(out);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QList<QStringList> records;
        QVERIFY2(parseCsv(QString::fromUtf8(bytes.mid(3)), records), bytes.constData());
        QCOMPARE(records.size(), 1 + 4 + 4); // header, four partner rows of A, none of the empty file, four of B
        QCOMPARE(records[0], (QStringList{QStringLiteral("ファイル"),
                                          QStringLiteral("大学名"),
                                          QStringLiteral("出場試合名"),
                                          QStringLiteral("背番号"),
                                          QStringLiteral("リーダー名"),
                                          QStringLiteral("リーダーかな"),
                                          QStringLiteral("リーダー回生"),
                                          QStringLiteral("パートナー名"),
                                          QStringLiteral("パートナーかな"),
                                          QStringLiteral("パートナー回生"),
                                          QStringLiteral("W"),
                                          QStringLiteral("T"),
                                          QStringLiteral("F"),
                                          QStringLiteral("Q"),
                                          QStringLiteral("C"),
                                          QStringLiteral("S"),
                                          QStringLiteral("R"),
                                          QStringLiteral("P"),
                                          QStringLiteral("Reguler"),
                                          QStringLiteral("MorL")}));
        const QString a = QStringLiteral("A大学_春.ent");
        const QString uni = QStringLiteral("A大学");
        const QString game = QStringLiteral("春の大会");
        const QString one = QStringLiteral("1");
        const QString no;
        const QString leader5 = QStringLiteral("田中, \"一郎\"");
        QCOMPARE(records[1], (QStringList{a,
                                          uni,
                                          game,
                                          QStringLiteral("5"),
                                          leader5,
                                          QStringLiteral("たなか,いちろう"),
                                          QStringLiteral("2"),
                                          QStringLiteral("鈴木\"はな\""),
                                          QStringLiteral("すずき"),
                                          one,
                                          no,
                                          no,
                                          no,
                                          no,
                                          one,
                                          one,
                                          no,
                                          no,
                                          no,
                                          QStringLiteral("Latin")}));
        // The second partner repeats the couple's fields; a line break inside a field survives.
        QCOMPARE(records[2], (QStringList{a,
                                          uni,
                                          game,
                                          QStringLiteral("5"),
                                          leader5,
                                          QStringLiteral("たなか,いちろう"),
                                          QStringLiteral("2"),
                                          QStringLiteral("高橋"),
                                          QStringLiteral("たかはし\r\nよう"),
                                          QStringLiteral("4"),
                                          no,
                                          no,
                                          no,
                                          no,
                                          no,
                                          no,
                                          one,
                                          one,
                                          no,
                                          QStringLiteral("Latin")}));
        QCOMPARE(records[3].mid(3, 1), QStringList{QStringLiteral("12")});
        QCOMPARE(records[3].mid(10), (QStringList{one, no, no, no, no, no, no, no, no, QStringLiteral("Rookie")}));
        QCOMPARE(records[4], (QStringList{a,
                                          uni,
                                          game,
                                          QStringLiteral("30"),
                                          QStringLiteral("山田太郎"),
                                          QStringLiteral("やまだたろう"),
                                          QStringLiteral("3"),
                                          QStringLiteral("佐藤花子"),
                                          QStringLiteral("さとうはなこ"),
                                          QStringLiteral("2"),
                                          one,
                                          no,
                                          no,
                                          one,
                                          no,
                                          no,
                                          no,
                                          no,
                                          one,
                                          QStringLiteral("Modan")}));
        // The second file in back-number order: 7, 8, 9, 9.
        QStringList backNumbers;
        for (qsizetype r = 5; r < records.size(); ++r) {
            QCOMPARE(records[r].size(), 20);
            QCOMPARE(records[r][0], QStringLiteral("B.ent"));
            QCOMPARE(records[r][1], QStringLiteral("B大学"));
            backNumbers << records[r][3];
        }
        QCOMPARE(backNumbers,
                 (QStringList{QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9"), QStringLiteral("9")}));
    }

    void csvCp932() {
        const ToolRun utf8 = runTool({QStringLiteral("csv"), m_good, m_bad});
        QCOMPARE(utf8.status, 0);
        QVERIFY(utf8.out.startsWith("\xEF\xBB\xBF"));
        if (!cp932::available())
            QSKIP("no code page 932 converter");
        const ToolRun sjis =
            runTool({QStringLiteral("csv"), QStringLiteral("--encoding"), QStringLiteral("cp932"), m_good, m_bad});
        QCOMPARE(sjis.status, 0);
        QVERIFY(!sjis.out.startsWith("\xEF\xBB\xBF"));
        QString text;
        QVERIFY(cp932::decode(sjis.out, &text));
        QCOMPARE(text, QString::fromUtf8(utf8.out.mid(3)));
        QByteArray yamada;
        QVERIFY(cp932::encode(QStringLiteral("山田太郎"), &yamada));
        QVERIFY(sjis.out.contains(yamada));
    }

    void csvRefuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output"); // must be left as it was
        QTest::addColumn<QString>("reason"); // in the error output
        const QString out = path(QStringLiteral("refused.csv"));
        QTest::newRow("damaged among good")
            << QStringList{m_good, m_broken, m_bad, QStringLiteral("-o"), out} << out << QStringLiteral("broken.ent");
        QTest::newRow("missing") << QStringList{m_good, path(QStringLiteral("none.ent")), QStringLiteral("-o"), out}
                                 << out << QStringLiteral("none.ent");
        QTest::newRow("member file") << QStringList{m_good, m_members, QStringLiteral("-o"), out} << out
                                     << QStringLiteral("member.dat");
        // The roster is a table of its own: with any other file it is a wrong command line, refused before
        // anything is read (the second roster need not exist).
        const QString mixed = QStringLiteral("メンバーファイル「%1」は、ほかのファイルと一緒には CSV にできません。");
        QTest::newRow("member file before an entry file")
            << QStringList{m_members, m_good, QStringLiteral("-o"), out} << out << mixed.arg(m_members);
        QTest::newRow("member file with the university file")
            << QStringList{m_uni, m_members, QStringLiteral("-o"), out} << out << mixed.arg(m_members);
        QTest::newRow("two member files")
            << QStringList{m_members, path(QStringLiteral("other/MEMBER.DAT")), QStringLiteral("-o"), out} << out
            << QStringLiteral("csv --help");
        QTest::newRow("output is an input")
            << QStringList{m_good, m_bad, QStringLiteral("-o"), m_bad} << m_bad << QStringLiteral("B.ent");
        QTest::newRow("output is an input by another path")
            << QStringList{m_good, QStringLiteral("-o"), m_dir.path() + QStringLiteral("/./A大学_春.ent")} << m_good
            << QStringLiteral("A大学_春.ent");
        QTest::newRow("output is a link to an input")
            << QStringList{m_good, QStringLiteral("-o"), path(QStringLiteral("link.csv"))}
            << path(QStringLiteral("link.csv")) << QStringLiteral("link.csv");
        QTest::newRow("a data file's name")
            << QStringList{m_good, QStringLiteral("-o"), path(QStringLiteral("copy.ENT"))} << out
            << QStringLiteral("データファイルの名前");
        QTest::newRow("member.dat") << QStringList{m_good, QStringLiteral("-o"), path(QStringLiteral("member.dat"))}
                                    << out << QStringLiteral("データファイルの名前");
        QTest::newRow("a folder") << QStringList{m_good, QStringLiteral("-o"), m_dir.path()} << out
                                  << QStringLiteral("通常のファイルではない");
        QTest::newRow("a device") << QStringList{m_good, QStringLiteral("-o"), QStringLiteral("/dev/null")} << out
                                  << QStringLiteral("通常のファイルではない");
        QTest::newRow("a named pipe") << QStringList{m_good, QStringLiteral("-o"), path(QStringLiteral("pipe.csv"))}
                                      << out << QStringLiteral("通常のファイルではない");
        // Every refusal looks at the file the links lead to, as the safe save follows them: a data file (also
        // one that does not exist yet, or behind a relative link or a chain of links), an input through "..",
        // a hard link to an input, links that never end.
        const QString data = QStringLiteral("データファイルの名前");
        const auto link = [this](const char* name) {
            return QStringList{QStringLiteral("-o"), path(QLatin1String(name))};
        };
        QTest::newRow("a link to member.dat") << QStringList{m_good} + link("report.csv") << m_members << data;
        QTest::newRow("a link to a member.dat not there yet")
            << QStringList{m_good} + link("dangling.csv") << path(QStringLiteral("sub/member.dat")) << data;
        QTest::newRow("a relative link to uniinf.dat") << QStringList{m_good} + link("relative.csv") << m_uni << data;
        QTest::newRow("a chain of links to member.dat") << QStringList{m_good} + link("chain.csv") << m_members << data;
        QTest::newRow("a link to Gamename.txt")
            << QStringList{m_good} + link("games.csv") << path(QStringLiteral("Gamename.txt")) << data;
        QTest::newRow("a link to the lock")
            << QStringList{m_good} + link("lock.csv") << path(QStringLiteral(".danceentry.lock")) << data;
        QTest::newRow("an input through a linked folder and ..")
            << QStringList{path(QStringLiteral("copy.bin"))} + link("deep/../../copy.bin")
            << path(QStringLiteral("copy.bin")) << QStringLiteral("入力ファイルの一つ");
        QTest::newRow("a hard link to an input")
            << QStringList{path(QStringLiteral("copy.bin"))} + link("hard.csv") << path(QStringLiteral("copy.bin"))
            << QStringLiteral("入力ファイルの一つ");
        QTest::newRow("links in a loop") << QStringList{m_good} + link("loop1.csv") << out << QStringLiteral("循環");
        QTest::newRow("a link to a folder")
            << QStringList{m_good} + link("folder.csv") << out << QStringLiteral("通常のファイルではない");
        QTest::newRow("cp932 cannot store a character")
            << QStringList{path(QStringLiteral("한국.ent")), QStringLiteral("--encoding"), QStringLiteral("cp932"),
                           QStringLiteral("-o"), out}
            << out << QStringLiteral("U+D55C");
    }
    // Text cells that a spreadsheet would run as formulas get a quote before them; numbers stay numbers.
    void csvGuardsFormulas() {
        const QString file = path(QStringLiteral("formula.ent"));
        writeEntry(
            file,
            {testfiles::couple(-3, leader(QStringLiteral("=HYPERLINK(\"x\")"), QStringLiteral("+81"), 1),
                               {partner(QStringLiteral("@p"), QStringLiteral("-いち"), 1)}, {QStringLiteral("W")})},
            university(QStringLiteral("A大学"), QStringLiteral("春の大会")));
        const ToolRun run = runTool({QStringLiteral("csv"), file});
        QCOMPARE(run.status, 0);
        QList<QStringList> records;
        QVERIFY(parseCsv(QString::fromUtf8(run.out.mid(3)), records));
        QCOMPARE(records[1].mid(3, 6),
                 (QStringList{QStringLiteral("-3"), QStringLiteral("'=HYPERLINK(\"x\")"), QStringLiteral("+81"),
                              QStringLiteral("1"), QStringLiteral("'@p"), QStringLiteral("'-いち")}));
        QFile::remove(file);
    }

    void csvRefuses() { refuses(QStringLiteral("csv")); }

    // A link to an ordinary file is written through, as the safe save does it: the file gets the table, the link
    // stays a link.
    void csvWritesThroughALinkToAnOrdinaryFile() {
        const QString target = path(QStringLiteral("sub/table.csv"));
        const QString link = path(QStringLiteral("table-link.csv"));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        QFile::remove(link);
        QVERIFY(QFile::link(target, link));
        const ToolRun run = runTool({QStringLiteral("csv"), m_good, QStringLiteral("-o"), link});
        QVERIFY2(run.status == 0, run.err.constData());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(testfiles::readBytes(target).contains("A大学"));
    }

private:
    // The current row of csvRefuses or pdfRefuses, run with `command`: the status, the reason, and every file
    // left as it was.
    void refuses(const QString& command) {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        QFETCH(QString, reason);
        QFile::remove(path(QStringLiteral("link.csv")));
        QVERIFY(QFile::link(m_good, path(QStringLiteral("link.csv"))));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub/a")));
        testfiles::writeBytes(path(QStringLiteral("Gamename.txt")), "1\r\nA\r\n");
        testfiles::writeBytes(path(QStringLiteral(".danceentry.lock")), "1234");
        if (!QFileInfo::exists(path(QStringLiteral("copy.bin"))))
            QVERIFY(QFile::copy(m_good, path(QStringLiteral("copy.bin"))));
        QFile::remove(path(QStringLiteral("hard.csv")));
        QCOMPARE(::link(QFile::encodeName(path(QStringLiteral("copy.bin"))).constData(),
                        QFile::encodeName(path(QStringLiteral("hard.csv"))).constData()),
                 0);
        const std::pair<const char*, QString> links[] = {{"report.csv", m_members},
                                                         {"dangling.csv", path(QStringLiteral("sub/member.dat"))},
                                                         {"relative.csv", QStringLiteral("uniinf.dat")},
                                                         {"chain.csv", QStringLiteral("report.csv")},
                                                         {"games.csv", QStringLiteral("Gamename.txt")},
                                                         {"lock.csv", QStringLiteral(".danceentry.lock")},
                                                         {"deep", path(QStringLiteral("sub/a"))},
                                                         {"loop1.csv", QStringLiteral("loop2.csv")},
                                                         {"loop2.csv", QStringLiteral("loop1.csv")},
                                                         {"folder.csv", path(QStringLiteral("sub"))}};
        for (const auto& [name, target] : links) {
            const QByteArray at = QFile::encodeName(path(QLatin1String(name)));
            ::unlink(at.constData());
            QCOMPARE(::symlink(QFile::encodeName(target).constData(), at.constData()), 0);
        }
        const QByteArray membersBefore = testfiles::readBytes(m_members);
        QFile::copy(m_good, path(QStringLiteral("한국.ent")));
        if (!QFileInfo::exists(path(QStringLiteral("pipe.csv"))))
            QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.csv"))).constData(), 0600), 0);
        testfiles::writeBytes(path(QStringLiteral("refused.csv")), "earlier");
        const QByteArray before = testfiles::readBytes(output);
        const QByteArray goodBefore = testfiles::readBytes(m_good);

        const ToolRun run = runTool(QStringList{command} + arguments);
        // A member file among other files is a wrong command line; everything else is about the files.
        const bool wrongCommandLine = run.errText().contains(QStringLiteral("ほかのファイルと一緒には"));
        QCOMPARE(run.status, wrongCommandLine ? 64 : 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.errText().contains(reason), qPrintable(run.errText()));
        QCOMPARE(testfiles::readBytes(output), before);
        QCOMPARE(testfiles::readBytes(m_good), goodBefore);
        QCOMPARE(testfiles::readBytes(m_members), membersBefore);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("sub/member.dat"))));
    }

private slots:
    // pdf judges -o as csv does (one row shows it), and writes nothing when an input cannot be read. Each is decided
    // before any page is made, so the commands run here without a QGuiApplication.
    void pdfRefuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output"); // must be left as it was
        QTest::addColumn<QString>("reason"); // in the error output
        const QString out = path(QStringLiteral("refused.csv"));
        QTest::newRow("damaged among good")
            << QStringList{m_good, m_broken, QStringLiteral("-o"), out} << out << QStringLiteral("broken.ent");
        QTest::newRow("university file") << QStringList{m_good, m_uni, QStringLiteral("-o"), out} << out
                                         << QStringLiteral("エントリーファイルではありません");
        QTest::newRow("member file with an entry file")
            << QStringList{m_members, m_good, QStringLiteral("-o"), out} << out
            << QStringLiteral("ほかのファイルと一緒には PDF にできません");
        QTest::newRow("output is an input")
            << QStringList{m_good, QStringLiteral("-o"), m_good} << m_good << QStringLiteral("入力ファイルの一つ");
    }
    void pdfRefuses() { refuses(QStringLiteral("pdf")); }

    // The roster table read back by the member import gives exactly the members of the file, whatever their
    // texts hold: commas, quotes, blanks at the edges, the wave dash, half-width kana; a member whose text holds
    // a line break is written out whole, and the import refuses it.
    void csvRosterImportsAsTheSameMembers_data() {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("toFile");
        QTest::newRow("utf-8 to a file") << QStringLiteral("utf-8") << true;
        QTest::newRow("utf-8 to standard output") << QStringLiteral("utf-8") << false;
        QTest::newRow("cp932 to a file") << QStringLiteral("cp932") << true;
    }
    void csvRosterImportsAsTheSameMembers() {
        QFETCH(QString, encoding);
        QFETCH(bool, toFile);
        if (encoding == QLatin1String("cp932") && !cp932::available())
            QSKIP("no code page 932 converter");
        QList<MemberRecord> members = {leader(QStringLiteral("田中, \"一郎\""), QStringLiteral("たなか,いちろう"), 1),
                                       partner(QStringLiteral(" 先頭と末尾　"), QStringLiteral("ﾃｽﾄ"), 4),
                                       leader(QStringLiteral("山田"), QString(), 2)};
        members[0].department = QStringLiteral("文学部～夜間");
        members[1].highschool = QStringLiteral("県立\r\n北高");
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("club")));
        AppState written;
        written.members = members;
        written.memberCount = qint32(members.size());
        QVERIFY(write_member_file(path(QStringLiteral("club/member.dat")), written));

        const QString out = path(QStringLiteral("roster.csv"));
        QStringList arguments = {QStringLiteral("csv"), path(QStringLiteral("club/member.dat")),
                                 QStringLiteral("--encoding"), encoding};
        const ToolRun run = runTool(toFile ? arguments << QStringLiteral("-o") << out : arguments);
        QCOMPARE(run.status, 0);
        if (!toFile)
            testfiles::writeBytes(out, run.out);
        const QByteArray bytes = testfiles::readBytes(out);
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), encoding == QLatin1String("utf-8"));
        QString text = QString::fromUtf8(bytes.mid(3));
        QVERIFY(encoding == QLatin1String("utf-8") || cp932::decode(bytes, &text));
        QList<QStringList> records;
        QVERIFY2(parseCsv(text, records), qPrintable(text));
        QCOMPARE(records.value(0), QStringLiteral("名前,かな,回生,学部,出身高校,役割").split(QLatin1Char(',')));

        AppState imported;
        QList<ImportCandidate> candidates;
        QString error;
        QVERIFY2(read_member_csv(out, imported, &candidates, &error), qPrintable(error));
        // A text with a line break (from an old file) stays out of the roster, named in its state.
        QCOMPARE(candidates.value(1).statusText, QStringLiteral("「出身高校」に改行"));
        QCOMPARE(import_members(imported, candidates, 0), qint32(members.size()) - 1);
        members.removeAt(1);
        QCOMPARE(imported.members, members);
    }
};

QTEST_GUILESS_MAIN(TestToolCommands)
#include "tst_toolcommands.moc"
