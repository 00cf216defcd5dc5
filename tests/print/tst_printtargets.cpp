// Where PDF出力 and a print to a file may write: the program's own files are refused by any path, link, ".."
// or second name, and an ordinary file they replace is kept in backup/ first.

#include "printcommands.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestPrintTargets : public QObject {
    Q_OBJECT

private slots:
    void targets_data() {
        QTest::addColumn<QString>("target"); // under the temporary folder; "data/" is the data folder
        QTest::addColumn<bool>("refused");
        QTest::newRow("member.dat") << "data/member.dat" << true;
        QTest::newRow("uniinf.dat") << "data/uniinf.dat" << true;
        QTest::newRow("Gamename.txt") << "data/Gamename.txt" << true;
        QTest::newRow("the lock") << "data/.danceentry.lock" << true;
        QTest::newRow("an entry file") << "data/秋季戦.ent" << true;
        QTest::newRow("a new file in backup/") << "data/backup/list.pdf" << true;
        QTest::newRow("a link to member.dat") << "out/roster.pdf" << true;
        QTest::newRow("a hard link to member.dat") << "out/hard.pdf" << true;
        QTest::newRow("backup/..") << "data/backup/../member.dat" << true;
        QTest::newRow(".. behind a linked folder") << "out/deep/../member.dat" << true;
        QTest::newRow("an ordinary file") << "out/old.pdf" << false;
        QTest::newRow("a new file") << "out/new.pdf" << false;
    }
    // Both ways to a PDF file: PDF出力 (for the names it can be given, ending in .pdf) and a print to a file
    // as the print dialog leaves the printer.
    void targets() {
        QFETCH(QString, target);
        QFETCH(bool, refused);
        for (const bool printToFile : {false, true}) {
            if (!printToFile && !target.endsWith(QLatin1String(".pdf")))
                continue;
            QTemporaryDir root;
            QVERIFY(QDir(root.path()).mkpath(QStringLiteral("data/backup")) &&
                    QDir(root.path()).mkdir(QStringLiteral("out")));
            AppState state;
            state.appFolder = root.filePath(QStringLiteral("data/"));
            const QStringList dataFiles = {QStringLiteral("member.dat"), QStringLiteral("uniinf.dat"),
                                           QStringLiteral("Gamename.txt"), QStringLiteral(".danceentry.lock"),
                                           QStringLiteral("秋季戦.ent")};
            for (const QString& name : dataFiles)
                testfiles::writeBytes(state.appFolder + name, "bytes of " + name.toUtf8());
            testfiles::writeBytes(root.filePath(QStringLiteral("out/old.pdf")), "earlier");
            QVERIFY(QFile::link(state.memberFilePath(), root.filePath(QStringLiteral("out/roster.pdf"))));
            QVERIFY(QFile::link(state.appFolder + QStringLiteral("backup"), root.filePath(QStringLiteral("out/deep"))));
            QCOMPARE(::link(QFile::encodeName(state.memberFilePath()).constData(),
                            QFile::encodeName(root.filePath(QStringLiteral("out/hard.pdf"))).constData()),
                     0);
            const QString path = root.filePath(target);
            const QByteArray earlier = QFile::exists(path) ? testfiles::readBytes(path) : QByteArray();
            const QList<PrintDocument> documents = {roster_print_document(state, {}, QDate(2026, 4, 1))};

            ScriptedPrompter prompter;
            bool written = false;
            if (printToFile) {
                QPrinter printer(QPrinter::HighResolution);
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(path);
                PrintCommands commands(state, prompter);
                written = commands.paintOnPrinter(documents, printer);
            } else {
                prompter.setNextFile(path); // a refused file shows the dialog again, which is then cancelled
                written = run_pdf_export(state, documents, QStringLiteral("x.pdf"), QStringLiteral("test"), prompter);
            }
            QCOMPARE(written, !refused);
            for (const QString& name : dataFiles)
                QCOMPARE(testfiles::readBytes(state.appFolder + name), "bytes of " + name.toUtf8());
            const QStringList kept = QDir(state.appFolder + QStringLiteral("backup")).entryList(QDir::Files);
            const QString said = prompter.messages().isEmpty() ? QString() : prompter.messages().constLast();
            if (refused) {
                QVERIFY2(said.contains(QDir::toNativeSeparators(path)), qPrintable(said));
                QVERIFY(kept.isEmpty());
                QVERIFY(!QFileInfo::exists(state.appFolder + QStringLiteral("backup/list.pdf")));
                continue;
            }
            QVERIFY(testfiles::readBytes(path).startsWith("%PDF"));
            QCOMPARE(kept.size(), earlier.isEmpty() ? 0 : 1);
            if (!earlier.isEmpty()) {
                QCOMPARE(testfiles::readBytes(state.appFolder + QStringLiteral("backup/") + kept.first()), earlier);
                QVERIFY2(said.contains(kept.first()), qPrintable(said));
            }
        }
    }
};

QTEST_MAIN(TestPrintTargets)
#include "tst_printtargets.moc"
