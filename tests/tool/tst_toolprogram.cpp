#include "testfiles.h"
#include "toolfixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace toolfixture;

// The built program itself: its streams, exit statuses and files, as a shell or a script sees them.
class TestToolProgram : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_good;
    QString m_bad;
    QString m_broken;

    ToolRun runProgram(const QStringList& arguments) {
        QProcess process;
        process.start(QString::fromUtf8(DANCEENTRY_TOOL), arguments);
        ToolRun run;
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.status = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_good = m_dir.filePath(QStringLiteral("春季.ent"));
        m_bad = m_dir.filePath(QStringLiteral("bad.ent"));
        m_broken = m_dir.filePath(QStringLiteral("broken.ent"));
        writeEntry(m_good,
                   {testfiles::couple(3, leader(QStringLiteral("山田太郎"), QStringLiteral("やまだ"), 2),
                                      {partner(QStringLiteral("佐藤花子"), QStringLiteral("さとう"), 1)},
                                      {QStringLiteral("W")})},
                   university(QStringLiteral("A大学"), QStringLiteral("春の大会")));
        writeEntry(m_bad,
                   {testfiles::couple(4, leader(QStringLiteral("L"), {}, 1), {partner(QStringLiteral("P"), {}, 1)})},
                   university(QStringLiteral("B大学"), QStringLiteral("春の大会")));
        testfiles::writeBytes(m_broken, "\x05\x00\x00\x00");
    }

    void help() {
        const ToolRun run = runProgram({QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.outText().contains(QStringLiteral("danceentry-tool")));
        QCOMPARE(runProgram({}).status, 64);
    }

    void showPrintsUtf8() {
        const ToolRun run = runProgram({QStringLiteral("show"), m_good});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(QStringLiteral("山田太郎").toUtf8()));
        QVERIFY(run.out.contains(QStringLiteral("○").toUtf8()));
    }

    void checkStatus_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("status");
        QTest::newRow("ok") << QStringList{m_good} << 0;
        QTest::newRow("problem") << QStringList{m_good, m_bad} << 1;
        QTest::newRow("damaged") << QStringList{m_bad, m_broken, m_good} << 2;
    }
    void checkStatus() {
        QFETCH(QStringList, files);
        QFETCH(int, status);
        const ToolRun run = runProgram(QStringList{QStringLiteral("check")} + files);
        QCOMPARE(run.status, status);
        QCOMPARE(run.outText().count(QLatin1Char('\n')), files.size());
        QCOMPARE(run.err.isEmpty(), status != 2);
        if (status == 2)
            QVERIFY(run.errText().contains(QStringLiteral("broken.ent")));
    }

    void csvToStandardOutputAndFile() {
        const ToolRun toStdout = runProgram({QStringLiteral("csv"), m_good});
        QCOMPARE(toStdout.status, 0);
        QVERIFY(toStdout.out.startsWith("\xEF\xBB\xBF"));
        QList<QStringList> records;
        QVERIFY(parseCsv(QString::fromUtf8(toStdout.out.mid(3)), records));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[1].mid(3, 5),
                 (QStringList{QStringLiteral("3"), QStringLiteral("山田太郎"), QStringLiteral("やまだ"),
                              QStringLiteral("2"), QStringLiteral("佐藤花子")}));

        const QString out = m_dir.filePath(QStringLiteral("out.csv"));
        testfiles::writeBytes(out, "a longer earlier content that must go away entirely");
        const ToolRun toFile = runProgram({QStringLiteral("csv"), m_good, QStringLiteral("-o"), out});
        QCOMPARE(toFile.status, 0);
        QVERIFY(toFile.out.isEmpty());
        QCOMPARE(testfiles::readBytes(out), toStdout.out);
        QCOMPARE(runProgram({QStringLiteral("csv"), m_good, QStringLiteral("-o"), QStringLiteral("-")}).out,
                 toStdout.out);
    }

    // Entry lists one after the other, each from its own first page, and the roster with the university of the
    // uniinf.dat beside it; no display is needed, whatever platform the environment names, and Qt says nothing.
    void pdfWithoutADisplay() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        const auto run = [&environment](const QStringList& arguments) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(QString::fromUtf8(DANCEENTRY_TOOL), arguments);
            if (!process.waitForFinished(120000))
                return -1;
            const QByteArray err = process.readAllStandardError();
            return err.isEmpty() ? process.exitCode() : -2;
        };
        const QString entries = m_dir.filePath(QStringLiteral("entries.pdf"));
        QCOMPARE(run({QStringLiteral("pdf"), m_good, m_bad, QStringLiteral("-o"), entries}), 0);
        const QString first = testfiles::pdfText(entries, 1);
        if (first.isNull())
            QSKIP("pdftotext is not installed (poppler-utils)");
        QVERIFY2(first.contains(QStringLiteral("春季.ent")) && first.contains(QStringLiteral("山田太郎")),
                 qPrintable(first));
        const QString second = testfiles::pdfText(entries, 2);
        QVERIFY2(second.startsWith(QStringLiteral("エントリー一覧\n大学名 : B大学")), qPrintable(second));
        QVERIFY(second.contains(QStringLiteral("1 / 1")));

        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("club")));
        AppState club;
        club.members = {leader(QStringLiteral("山田太郎"), QStringLiteral("やまだ"), 2)};
        club.memberCount = 1;
        QVERIFY(write_member_file(m_dir.filePath(QStringLiteral("club/member.dat")), club));
        QVERIFY(write_university_file(m_dir.filePath(QStringLiteral("club/uniinf.dat")),
                                      university(QStringLiteral("A大学"), QString())));
        const QString roster = m_dir.filePath(QStringLiteral("roster.pdf"));
        QCOMPARE(run({QStringLiteral("pdf"), m_dir.filePath(QStringLiteral("club/member.dat")), QStringLiteral("-o"),
                      roster}),
                 0);
        const QString text = testfiles::pdfText(roster);
        QVERIFY2(text.contains(QStringLiteral("メンバー一覧\n大学名 : A大学")) &&
                     text.contains(QStringLiteral("メンバー数 : 1 人")),
                 qPrintable(text));
    }

    // Where fontconfig offers no Japanese font, the package's font is loaded by its file; where there is none at
    // all, nothing is written and the missing package is named.
    void pdfJapaneseFont_data() {
        QTest::addColumn<bool>("fontFiles");
        QTest::newRow("loaded by its file") << true;
        QTest::newRow("no Japanese font") << false;
    }
    void pdfJapaneseFont() {
        QFETCH(bool, fontFiles);
        const QString config = m_dir.filePath(QStringLiteral("fonts-none.conf"));
        testfiles::writeBytes(config, "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("FONTCONFIG_FILE"), config);
        if (!fontFiles)
            environment.insert(QStringLiteral("DANCEENTRY_TEST_FONT_FILES"),
                               m_dir.filePath(QStringLiteral("none.ttf")));
        const QString out = m_dir.filePath(QStringLiteral("font.pdf"));
        QFile::remove(out);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QString::fromUtf8(DANCEENTRY_TOOL), {QStringLiteral("pdf"), m_good, QStringLiteral("-o"), out});
        QVERIFY(process.waitForFinished(120000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitCode(), fontFiles ? 0 : 2);
        if (!fontFiles) {
            QVERIFY2(err.contains(QStringLiteral("fonts-ipafont-gothic")), qPrintable(err));
            QVERIFY(!QFileInfo::exists(out));
            return;
        }
        const QString fonts = testfiles::popplerOutput(QStringLiteral("pdffonts"), {out});
        if (fonts.isNull())
            QSKIP("pdffonts is not installed (poppler-utils)");
        QVERIFY2(fonts.contains(QStringLiteral("IPAPGothic")), qPrintable(fonts));
        QVERIFY(testfiles::pdfText(out).contains(QStringLiteral("山田太郎")));
    }

    // Output that does not reach its place, and a name the program cannot read, end with status 2 and say why;
    // the shell sets up what a QProcess cannot (a closed standard output, a name in Shift-JIS bytes).
    void failuresSayWhy_data() {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << QStringLiteral("exec \"$0\" csv \"$1\" > /dev/full")
                                   << QStringLiteral("ディスクの空き");
        QTest::newRow("closed output") << QStringLiteral("exec \"$0\" show \"$1\" >&-") << QStringLiteral("閉じられて");
        QTest::newRow("Shift-JIS name")
            << QStringLiteral("cd \"$(dirname \"$1\")\" && exec \"$0\" show \"$(printf '\\217t.ent')\"")
            << QStringLiteral("春.ent");
    }
    void failuresSayWhy() {
        QFETCH(QString, shell);
        QFETCH(QString, reason);
        QProcess process;
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), shell, QString::fromUtf8(DANCEENTRY_TOOL), m_good});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 2);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(err.contains(reason), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestToolProgram)
#include "tst_toolprogram.moc"
