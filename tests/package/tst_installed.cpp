// The installed program, started headless as a user starts it: the first-use dialog is answered through its real
// widgets (by the preloaded first-use driver), and uniinf.dat must then be in the folder the data-folder rule names,
// and nowhere else: --folder, $XDG_DATA_HOME/DanceEntry, ~/.local/share/DanceEntry, or a copy of the program in a
// club's folder. The installed program and tool load the largest accepted files within 500 MB.

#include "cp932.h"
#include "datafiles.h"
#include "measuredrun.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr qint64 kMemoryLimit = 500LL * 1000 * 1000;

} // namespace

class TestInstalled : public QObject {
    Q_OBJECT

    QString m_program;                        // the installed danceentry
    std::unique_ptr<QTemporaryDir> m_largest; // the largest accepted files, made for the first run that needs them

private slots:
    void initTestCase() {
        const QString root = qEnvironmentVariable("DANCEENTRY_INSTALL_ROOT");
        QVERIFY2(!root.isEmpty(), "DANCEENTRY_INSTALL_ROOT names no installed tree");
        m_program = root + QStringLiteral("/usr/bin/danceentry");
        QVERIFY2(QFileInfo(m_program).isExecutable(), qPrintable(m_program));
    }

    void firstStart_data() {
        QTest::addColumn<QStringList>("arguments"); // "@" stands for the temporary folder
        QTest::addColumn<QString>("xdgDataHome");   // "-": not set
        QTest::addColumn<QString>("clubFolder");    // a club's folder holding Gamename.txt and a copy of the program
        QTest::addColumn<QString>("expected");      // where uniinf.dat must be
        QTest::addColumn<QString>("gameName");      // stored with it: the first of Gamename.txt, if there is one

        const QString game = QStringLiteral("春の大会");
        QTest::newRow("--folder") << QStringList{QStringLiteral("--folder"), QStringLiteral("@/club/2024")} << "xdg"
                                  << ""
                                  << "club/2024"
                                  << "";
        QTest::newRow("XDG_DATA_HOME") << QStringList() << "xdg"
                                       << ""
                                       << "xdg/DanceEntry"
                                       << "";
        QTest::newRow("HOME") << QStringList() << "-"
                              << ""
                              << "home/.local/share/DanceEntry"
                              << "";
        QTest::newRow("program in a club's folder") << QStringList() << "xdg"
                                                    << "stick"
                                                    << "stick" << game;
    }
    void firstStart() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, clubFolder);
        QFETCH(QString, expected);
        QFETCH(QString, gameName);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto at = [&dir](const QString& relative) { return QDir::cleanPath(dir.filePath(relative)); };
        QVERIFY(QDir().mkpath(at(QStringLiteral("home"))));

        QString program = m_program;
        if (!clubFolder.isEmpty()) {
            QVERIFY(QDir().mkpath(at(clubFolder)));
            program = at(clubFolder + QStringLiteral("/danceentry"));
            QVERIFY(QFile::copy(m_program, program));
            QByteArray names;
            QVERIFY(cp932::encode(QStringLiteral("2\r\n春の大会\r\n秋の大会\r\n"), &names));
            testfiles::writeBytes(at(clubFolder + QStringLiteral("/Gamename.txt")), names);
        }
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), dir.path());

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), at(QStringLiteral("home")));
        environment.remove(QStringLiteral("XDG_DATA_HOME"));
        // What the program keeps for the user goes under the temporary home too, never into the tester's.
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (xdgDataHome != QLatin1String("-"))
            environment.insert(QStringLiteral("XDG_DATA_HOME"), at(xdgDataHome));
        environment.insert(QStringLiteral("DANCEENTRY_TEST_UNIVERSITY"), QStringLiteral("蒼嶺大学"));
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(DANCEENTRY_FIRST_USE_DRIVER));
        // The driver comes before the sanitizer runtime of a sanitized program; the order does not matter here.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0"));

        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(program, arguments);
        const bool ended = process.waitForFinished(60000);
        if (!ended) {
            process.kill();
            process.waitForFinished();
        }
        const QString report = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(ended, qPrintable(QStringLiteral("no end within 60 s\n") + report));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("driver: frm_main shown, closing it")), qPrintable(report));

        // Exactly one uniinf.dat in the whole temporary folder, where the rule says, holding what was typed.
        QStringList found;
        QDirIterator files(dir.path(), {QStringLiteral("uniinf.dat")}, QDir::Files | QDir::Hidden,
                           QDirIterator::Subdirectories);
        while (files.hasNext())
            found << files.next();
        QCOMPARE(found, QStringList{at(expected + QStringLiteral("/uniinf.dat"))});
        AppState state;
        QString error;
        QVERIFY2(read_university_file(found.constFirst(), state, &error), qPrintable(error));
        QCOMPARE(state.universityInfo.university, QStringLiteral("蒼嶺大学"));
        QCOMPARE(state.universityInfo.gameName, gameName);
    }

    // The largest files the readers take, opened by the installed programs as a user opens them: the program
    // starts on the largest roster (the first-use driver closes its window once it is shown), the tool converts the
    // largest entry file (the heaviest of its commands). Each stays within 500 MB. Without
    // sanitizers each runs under that address-space limit (prlimit --as), so that any allocation beyond it fails
    // the run; a sanitized build reserves terabytes of address space, so there its peak resident memory is
    // measured instead, which the sanitizer's shadow memory and red zones only make larger than a plain build's.
    void largestFiles_data() {
        QTest::addColumn<QString>("program"); // in usr/bin of the installed tree
        QTest::addColumn<QStringList>("arguments");

        const QString tool = QStringLiteral("danceentry-tool");
        QTest::newRow("danceentry, largest member.dat")
            << QStringLiteral("danceentry") << QStringList{QStringLiteral("--folder"), QStringLiteral("@")};
        QTest::newRow("tool csv, largest entry file")
            << tool
            << QStringList{QStringLiteral("csv"), QStringLiteral("@/大会.ent"), QStringLiteral("-o"),
                           QStringLiteral("@/entries.csv")};
    }
    void largestFiles() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        if (!m_largest) {
            m_largest = std::make_unique<QTemporaryDir>();
            QVERIFY(m_largest->isValid());
            testfiles::writeBytes(m_largest->filePath(QStringLiteral("member.dat")), testfiles::largestMemberFile());
            testfiles::writeBytes(m_largest->filePath(QStringLiteral("大会.ent")), testfiles::largestEntryFile());
            UniversityInfo info;
            info.university = QStringLiteral("蒼嶺大学");
            QVERIFY(write_university_file(m_largest->filePath(QStringLiteral("uniinf.dat")), info));
        }
        const QString folder = m_largest->path();
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), folder);

        QStringList command;
#if !defined(__SANITIZE_ADDRESS__)
        command << QStringLiteral("prlimit") << QStringLiteral("--as=%1").arg(kMemoryLimit) << QStringLiteral("--");
#endif
        command << QFileInfo(m_program).path() + QLatin1Char('/') + program << arguments;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("HOME"), folder);
        if (program == QLatin1String("danceentry"))
            environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(DANCEENTRY_FIRST_USE_DRIVER));
        // Freed memory is given back at once, as without the sanitizer, rather than held in its quarantine.
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           QStringLiteral("verify_asan_link_order=0:quarantine_size_mb=0:detect_leaks=0"));

        const MeasuredRun run = run_measured(command, environment, folder + QStringLiteral("/stderr.txt"));
        const QString report = QString::fromLocal8Bit(run.err.left(2000));
        qInfo("%s: %.2f s, peak resident memory %lld MB", QTest::currentDataTag(), run.seconds,
              run.peakBytes / (1000 * 1000));
        QVERIFY2(run.status == 0, qPrintable(QStringLiteral("status %1\n%2").arg(run.status).arg(report)));
        if (program == QLatin1String("danceentry"))
            QVERIFY2(report.contains(QStringLiteral("driver: frm_main shown, closing it")), qPrintable(report));
        QVERIFY2(run.peakBytes < kMemoryLimit, qPrintable(QString::number(run.peakBytes)));
    }

    void cleanupTestCase() {
        m_largest.reset();
    }
};

int main(int argc, char** argv) {
    if (is_measure_mode(argc, argv))
        return measure_child_main(argc, argv);
    QCoreApplication app(argc, argv);
    TestInstalled test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_installed.moc"
