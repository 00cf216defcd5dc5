// The installed program, started headless as a user starts it: the first-use dialog is answered through its real
// widgets (by the preloaded first-use driver), and uniinf.dat must then be in the folder the data-folder rule names,
// and nowhere else: --folder, $XDG_DATA_HOME/DanceEntry, ~/.local/share/DanceEntry, or a copy of the program in a
// club's folder.

#include "cp932.h"
#include "datafiles.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestInstalled : public QObject {
    Q_OBJECT

    QString m_program; // the installed danceentry

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
};

QTEST_GUILESS_MAIN(TestInstalled)
#include "tst_installed.moc"
