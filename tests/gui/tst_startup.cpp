// The start-up sequence on a folder: first use with the university dialog, a normal start, and files
// that cannot be read.

#include "datafiles.h"
#include "folderlock.h"
#include "guitest.h"
#include "scriptedprompter.h"
#include "startup.h"
#include "testfiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace guitest;
using testfiles::member;

class TestStartup : public QObject {
    Q_OBJECT

private:
    static bool mainWindowExists() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("frm_main"))
                return true;
        }
        return false;
    }
    static void writeRoster(const QString& folder, const QList<MemberRecord>& members) {
        AppState state;
        state.appFolder = folder;
        state.members = members;
        state.memberCount = qint32(members.size());
        QVERIFY(write_member_file(state.memberFilePath(), state));
    }
    static void writeUniversity(const QString& folder, const QString& university) {
        AppState state;
        state.appFolder = folder;
        state.universityInfo.university = university;
        QVERIFY(write_university_file(state.universityFilePath(), state.universityInfo));
    }

private slots:
    void applicationFolderEndsWithTheSeparator() {
        const QString folder = application_folder();
        QVERIFY(folder.endsWith(QLatin1Char('/')));
        QVERIFY(QDir::isAbsolutePath(folder));
        QCOMPARE(QDir(folder).absolutePath(), QDir(QCoreApplication::applicationDirPath()).absolutePath());
    }

    // First use in an empty folder: the university dialog comes before any main window; cancelled, the
    // program ends with no window and no file.
    void firstStartCancelled() {
        QTemporaryDir dir;
        AppState state;
        ScriptedPrompter prompter;
        bool dialogSeen = false;
        bool windowBeforeDialog = true;
        onTopLevel(
            "frm_entry",
            [&windowBeforeDialog](QWidget* dialog) {
                windowBeforeDialog = mainWindowExists();
                auto* cancel = child<QPushButton>(dialog, "cmd_Cancel");
                if (cancel)
                    cancel->click();
                if (dialog->isVisible())
                    dialog->close();
            },
            &dialogSeen);
        std::unique_ptr<MainWindow> window;
        {
            FolderLock lock; // released as the program ends
            window = start_up(state, prompter, dir.path() + QLatin1Char('/'), lock);
        }
        QVERIFY(dialogSeen);
        QVERIFY(!windowBeforeDialog);
        QVERIFY(!window);
        QVERIFY(!mainWindowExists());
        QVERIFY(prompter.shown().isEmpty());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    // First use with a roster: the roster is loaded before the dialog, and the window then shows it.
    void firstStartWithARoster() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        writeRoster(folder, {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0),
                             member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1)});
        AppState state;
        ScriptedPrompter prompter;
        bool dialogSeen = false;
        qint32 countDuringDialog = -1;
        onTopLevel(
            "frm_entry",
            [&state, &countDuringDialog](QWidget* dialog) {
                countDuringDialog = state.memberCount;
                child<QLineEdit>(dialog, "txt_University")->setText(QStringLiteral("蒼嶺大学"));
                QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
            },
            &dialogSeen);
        FolderLock lock;
        std::unique_ptr<MainWindow> window = start_up(state, prompter, folder, lock);
        QVERIFY(dialogSeen);
        QCOMPARE(countDuringDialog, 2);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), memberCaption(2));
        QCOMPARE(state.universityInfo.university, QStringLiteral("蒼嶺大学"));
        QVERIFY(QFile::exists(folder + QStringLiteral("uniinf.dat")));
    }

    // A normal start; an empty university name read from the file is accepted without the dialog.
    void startWithBothFiles_data() {
        QTest::addColumn<QString>("university");
        QTest::newRow("named") << QStringLiteral("蒼嶺大学");
        QTest::newRow("empty name") << QString();
    }
    void startWithBothFiles() {
        QFETCH(QString, university);
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        writeRoster(folder, {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0)});
        writeUniversity(folder, university);
        AppState state;
        ScriptedPrompter prompter;
        FolderLock lock;
        std::unique_ptr<MainWindow> window = start_up(state, prompter, folder, lock);
        QVERIFY(window);
        QCOMPARE(state.appFolder, folder);
        QCOMPARE(state.universityInfo.university, university);
        QCOMPARE(window->windowTitle(), memberCaption(1));
        QCOMPARE(window->viewMode(), MainWindow::ViewMode::Members);
        QVERIFY(state.entryFileName.isEmpty());
        QCOMPARE(state.membersChanged, false);
        QVERIFY(prompter.shown().isEmpty());
    }

    // A file that cannot be read is reported, left untouched on disk, and the program goes on without it.
    void damagedFileIsReported_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("member.dat") << QStringLiteral("member.dat") << testfiles::fromHex("05 00 00 00 02 00");
        QTest::newRow("uniinf.dat") << QStringLiteral("uniinf.dat") << testfiles::fromHex("09 00 41");
    }
    void damagedFileIsReported() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        writeRoster(folder, {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0)});
        writeUniversity(folder, QStringLiteral("蒼嶺大学"));
        testfiles::writeBytes(folder + fileName, bytes);
        AppState state;
        ScriptedPrompter prompter;
        FolderLock lock;
        std::unique_ptr<MainWindow> window = start_up(state, prompter, folder, lock);
        QVERIFY(window);
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().constFirst().contains(fileName));
        QCOMPARE(testfiles::readBytes(folder + fileName), bytes);
        QCOMPARE(window->windowTitle(), memberCaption(state.memberCount));
        if (fileName != QLatin1String("member.dat"))
            return;

        // Saving the roster over the damaged file keeps the file, byte for byte, in backup/ and says where.
        window->findChild<QAction*>(QStringLiteral("mnu__save_member"))->trigger();
        const QStringList kept = QDir(folder + QStringLiteral("backup")).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        QVERIFY(kept.first().startsWith(QStringLiteral("member_")) && kept.first().endsWith(QStringLiteral(".dat")));
        QCOMPARE(testfiles::readBytes(folder + QStringLiteral("backup/") + kept.first()), bytes);
        QCOMPARE(prompter.messages().size(), 2);
        QVERIFY2(prompter.messages().constLast().contains(kept.first()), qPrintable(prompter.messages().constLast()));
        AppState saved;
        QVERIFY(read_member_file(folder + fileName, saved));
        // Later saves write over the program's own file without another copy.
        window->findChild<QAction*>(QStringLiteral("mnu__save_member"))->trigger();
        QCOMPARE(QDir(folder + QStringLiteral("backup")).entryList(QDir::Files).size(), 1);
    }

    // Another copy of the program holds the folder: this one says so and ends without reading or writing.
    void secondCopyEndsAtOnce() {
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        writeRoster(folder, {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0)});
        FolderLock first;
        QVERIFY(first.acquire(folder, nullptr));
        const QStringList files = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        AppState state;
        ScriptedPrompter prompter;
        FolderLock lock;
        QVERIFY(!start_up(state, prompter, folder, lock));
        QVERIFY(!mainWindowExists());
        QCOMPARE(state.memberCount, 0);
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().constFirst().contains(QStringLiteral("ほかの DanceEntry")));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), files);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
