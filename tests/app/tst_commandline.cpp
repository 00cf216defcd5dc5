// The command lines of the built programs, as a shell sees them: help and version on standard output with status 0,
// a wrong line with the usage on standard error and status 64, a data folder that cannot be made with status 1.

#include "datafiles.h"
#include "testfiles.h"
#include "version.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        testfiles::writeBytes(m_dir.filePath(QStringLiteral("taken")), "x");
    }

    void run_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments"); // "@" stands for the temporary folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");    // the start of standard output
        QTest::addColumn<QString>("err");    // part of standard error; empty: nothing on it
        QTest::addColumn<QString>("absent"); // a folder the run must not make

        const QString program = QStringLiteral(DANCEENTRY_PROGRAM);
        const QString tool = QStringLiteral(DANCEENTRY_TOOL);
        const QString usage = QStringLiteral("使い方: danceentry [--folder フォルダ]");
        const QString version = QStringLiteral("DanceEntry " DANCEENTRY_VERSION "\n");
        const auto args = [](const char* line) { return QString::fromUtf8(line).split(QLatin1Char(' ')); };

        QTest::newRow("--help") << program << args("--help") << 0 << usage << ""
                                << "";
        QTest::newRow("-h") << program << args("-h") << 0 << usage << ""
                            << "";
        QTest::newRow("--help before --folder") << program << args("--folder @/new --help") << 0 << usage << ""
                                                << "@/new";
        QTest::newRow("--version") << program << args("--version") << 0 << version << ""
                                   << "";
        QTest::newRow("-x") << program << args("-x") << 64 << ""
                            << QStringLiteral("danceentry: 不明なオプション -x です。\n\n") + usage << "";
        QTest::newRow("--verbose") << program << args("--verbose") << 64 << ""
                                   << "不明なオプション --verbose"
                                   << "";
        QTest::newRow("stray argument") << program << args("--folder @/new club") << 64 << ""
                                        << "余分な引数「club」があります。"
                                        << "@/new";
        QTest::newRow("--folder without a value") << program << args("--folder") << 64 << ""
                                                  << "オプション --folder の後にフォルダを指定してください。"
                                                  << "";
        QTest::newRow("--folder twice") << program << args("--folder @/a --folder @/b") << 64 << ""
                                        << "--folder は一度だけ"
                                        << "@/a";
        QTest::newRow("--folder under a file")
            << program << args("--folder @/taken/club") << 1 << ""
            << "danceentry: "
               "データフォルダ「@/taken/club」を作れませんでした。\n途中の名前がフォルダではなくファイルです。"
            << "";
        // Long options with one dash are read as with two; an unknown one is named as it was typed.
        QTest::newRow("-folder without a value") << program << args("-folder") << 64 << ""
                                                 << "オプション -folder の後にフォルダを指定してください。"
                                                 << "";
        QTest::newRow("-verbose") << program << args("-verbose") << 64 << ""
                                  << "danceentry: 不明なオプション -verbose です。"
                                  << "";
        QTest::newRow("tool -output without a value") << tool << args("csv @/none.ent -output") << 64 << ""
                                                      << "オプション -output の後に値がありません。"
                                                      << "";
        QTest::newRow("tool --version") << tool << args("--version") << 0
                                        << QStringLiteral("danceentry-tool " DANCEENTRY_VERSION "\n") << ""
                                        << "";
    }
    void run() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QString, absent);
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), m_dir.path());

        QProcess process;
        // A display is never needed to read the command line; the failing folder is reached with a headless one.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            QFAIL("the program did not end within 60 s");
        }
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        const QString complaint = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == status, qPrintable(complaint));
        QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
        if (err.isEmpty())
            QVERIFY2(complaint.isEmpty(), qPrintable(complaint));
        else
            QVERIFY2(complaint.contains(err.replace(QLatin1Char('@'), m_dir.path())), qPrintable(complaint));
        if (!absent.isEmpty())
            QVERIFY(!QFileInfo::exists(absent.replace(QLatin1Char('@'), m_dir.path())));
    }

    // A folder named in bytes that are no UTF-8 is refused by name; no folder with replacement characters is made.
    void folderNameNotUtf8() {
        QProcess process;
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), QStringLiteral("exec \"$0\" --folder \"$1/club/$(printf '\\377\\376')\""),
                       QStringLiteral(DANCEENTRY_PROGRAM), m_dir.path()});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 64);
        const QString complaint = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(complaint.contains(QStringLiteral("は名前の文字コードが UTF-8 ではないため、使えません。")),
                 qPrintable(complaint));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("club"))));
    }

    // The program started headless on a first use, with the first-use driver answering every box and closing the
    // window: an unusable settings file or a file-size limit never holds or ends it, and is said in a box.
    void drivenStart_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("said"); // part of a box the driver answered; empty: none expected
        QTest::newRow("settings file is a named pipe") << "pipe"
                                                       << "通常のファイルではありません（名前付きパイプなど）";
        QTest::newRow("settings file is too large") << "large"
                                                    << "大きすぎます（2000000 バイト）";
        QTest::newRow("relative XDG_CONFIG_HOME") << "relative"
                                                  << "";
        QTest::newRow("file-size limit") << "limit"
                                         << "ファイルが大きすぎて書き込めません";
    }
    void drivenStart() {
        QFETCH(QString, setting);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString club = dir.filePath(QStringLiteral("club"));
        const QString home = dir.filePath(QStringLiteral("home"));
        const QString settings = home + QStringLiteral("/.config/DanceEntry/DanceEntry.conf");
        QVERIFY(QDir().mkpath(club) && QDir().mkpath(QFileInfo(settings).path()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(DANCEENTRY_FIRST_USE_DRIVER));
        // The driver comes before the sanitizer runtime of a sanitized program; the order does not matter here.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0"));
        environment.insert(QStringLiteral("DANCEENTRY_TEST_UNIVERSITY"), QStringLiteral("蒼嶺大学"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        QString program = QStringLiteral(DANCEENTRY_PROGRAM);
        QStringList arguments{QStringLiteral("--folder"), club};
        if (setting == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
        else if (setting == QLatin1String("large"))
            testfiles::writeBytes(settings, QByteArray(2000000, '#'));
        else if (setting == QLatin1String("relative"))
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("conf"));
        else {
            program = QStandardPaths::findExecutable(QStringLiteral("prlimit"));
            if (program.isEmpty())
                QSKIP("prlimit is not installed (util-linux)");
            arguments.prepend(QStringLiteral(DANCEENTRY_PROGRAM));
            arguments.prepend(QStringLiteral("--fsize=8"));
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(club);
        process.start(program, arguments);
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            QFAIL("the program did not end within 60 s");
        }
        const QString complaint = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0, qPrintable(complaint));
        if (said.isEmpty())
            QVERIFY2(!complaint.contains(QStringLiteral("driver: message")), qPrintable(complaint));
        else
            QVERIFY2(complaint.contains(QStringLiteral("driver: message")) && complaint.contains(said),
                     qPrintable(complaint));
        struct stat status {};
        const bool settingsThere = ::lstat(QFile::encodeName(settings).constData(), &status) == 0;
        if (setting == QLatin1String("pipe"))
            QVERIFY(settingsThere && S_ISFIFO(status.st_mode));
        else if (setting == QLatin1String("relative"))
            QVERIFY2(settingsThere && status.st_size > 0 && !QFileInfo::exists(club + QStringLiteral("/conf")),
                     qPrintable(complaint));
        else if (setting == QLatin1String("limit"))
            QVERIFY(QDir(club).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    }

    // Under a file-size limit the tool's PDF fails with the reason instead of the system ending the tool.
    void toolUnderAFileSizeLimit() {
        const QString prlimit = QStandardPaths::findExecutable(QStringLiteral("prlimit"));
        if (prlimit.isEmpty())
            QSKIP("prlimit is not installed (util-linux)");
        QTemporaryDir dir;
        AppState state;
        QVERIFY(write_member_file(dir.filePath(QStringLiteral("member.dat")), state));
        const QString pdf = dir.filePath(QStringLiteral("roster.pdf"));
        QProcess process;
        process.start(prlimit, {QStringLiteral("--fsize=4096"), QStringLiteral(DANCEENTRY_TOOL), QStringLiteral("pdf"),
                                dir.filePath(QStringLiteral("member.dat")), QStringLiteral("-o"), pdf});
        QVERIFY(process.waitForFinished(60000));
        const QString complaint = QString::fromUtf8(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 2, qPrintable(complaint));
        QVERIFY2(complaint.contains(QStringLiteral("ファイルが大きすぎて書き込めません")), qPrintable(complaint));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // Without HOME the help says that there is no per-user folder, rather than naming one below "/".
    void userFolderInHelpWithoutHome() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("HOME"));
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(DANCEENTRY_PROGRAM), {QStringLiteral("--help")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString printed = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("環境変数 HOME が設定されていないため決まりません。")),
                 qPrintable(printed));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
