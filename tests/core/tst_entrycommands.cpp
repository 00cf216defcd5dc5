#include "datafiles.h"
#include "entrycommands.h"
#include "export.h"
#include "exporttarget.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "writtenfile.h"

#include <QtTest>

#include <unistd.h>

using testfiles::couple;
using testfiles::member;

namespace {

AppState stateWithEntry(const QTemporaryDir& dir) {
    AppState state = testfiles::stateIn(dir);
    state.universityInfo.university = QStringLiteral("蒼嶺大学");
    state.members = {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 2, 0)};
    state.memberCount = 1;
    state.couples = {couple(3, state.members[0], {member(QStringLiteral("花子"), {}, 1, 1)}, {QStringLiteral("W")})};
    state.coupleCount = 1;
    state.entryFileName = QStringLiteral("old.ent");
    return state;
}

// Records what the closing message would start; `mailInstalled` false is a desktop without a mail program.
class RecordingLauncher : public DesktopLauncher {
public:
    bool mailInstalled = false;
    QStringList started;
    QString shownFile;
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started = QStringList{program} + arguments;
        return mailInstalled;
    }
    bool showInFolder(const QString& file) override {
        shownFile = file;
        return true;
    }
};

AppState stateToExport(const QTemporaryDir& dir) {
    AppState state = stateWithEntry(dir);
    state.universityInfo.gameName = QStringLiteral("秋の部内戦");
    return state;
}

} // namespace

class TestEntryCommands : public QObject {
    Q_OBJECT
private slots:
    void entryFileName_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("extension added") << QStringLiteral("秋季戦") << QStringLiteral("秋季戦.ent");
        QTest::newRow("upper case kept") << QStringLiteral("秋季戦.ENT") << QStringLiteral("秋季戦.ENT");
        QTest::newRow("contained anywhere") << QStringLiteral("my.entry") << QStringLiteral("my.entry");
    }
    void entryFileName() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        ScriptedPrompter prompter;
        prompter.setNextInput(typed);
        QVERIFY(ask_entry_file_name(state, prompter));
        QCOMPARE(state.entryFileName, expected);
        const auto& box = prompter.shown().first();
        QCOMPARE(box.kind, ScriptedPrompter::Shown::Input);
        QCOMPARE(box.title, QStringLiteral("ファイル作成"));
        QCOMPARE(box.text, QStringLiteral("作成するファイル名を決めてください。\r\r例：蒼嶺大学_秋の部内戦"));
        QCOMPARE(box.proposed, QStringLiteral("蒼嶺大学_試合名"));
        QVERIFY(!QFile::exists(state.entryFilePath())); // named, not written
    }

    void overwriteQuestionLoopsBack() {
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        testfiles::writeBytes(state.appFolder + QStringLiteral("秋季戦.ent"), "x");
        ScriptedPrompter prompter;
        prompter.setNextInput(QStringLiteral("秋季戦"));
        prompter.setNextAnswer(false); // then the second box is cancelled
        QVERIFY(!ask_entry_file_name(state, prompter));
        QCOMPARE(state.entryFileName, QStringLiteral("old.ent"));
        QCOMPARE(prompter.questions(),
                 QStringList{QStringLiteral("秋季戦.ent\rこのファイル名は既に存在します。上書きしますか？")});
        QCOMPARE(prompter.shown()[1].icon, Prompter::Icon::Stop);
        QCOMPARE(prompter.shown().size(), 3);
        QCOMPARE(prompter.shown()[2].kind, ScriptedPrompter::Shown::Input);

        prompter.setNextInput(QStringLiteral("秋季戦"));
        prompter.setNextAnswer(true);
        QVERIFY(ask_entry_file_name(state, prompter));
        QCOMPARE(state.entryFileName, QStringLiteral("秋季戦.ent"));
    }

    void namesOutsideTheFolderRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("parent") << QStringLiteral("../escape");
        QTest::newRow("backslash") << QStringLiteral("a\\b");
        QTest::newRow("nul") << QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b");
    }
    void namesOutsideTheFolderRefused() {
        QFETCH(QString, typed);
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        ScriptedPrompter prompter;
        prompter.setNextInput(typed);
        prompter.setNextInput(QStringLiteral("good"));
        QVERIFY(ask_entry_file_name(state, prompter));
        QCOMPARE(state.entryFileName, QStringLiteral("good.ent"));
        QCOMPARE(prompter.messages().size(), 1);
        QCOMPARE(prompter.shown()[1].icon, Prompter::Icon::Exclamation);
        QVERIFY(!invalid_file_name_reason(typed + QStringLiteral(".ent")).isEmpty());
    }

    void invalidNames() {
        QVERIFY(invalid_file_name_reason(QStringLiteral("秋季戦.ent")).isEmpty());
        QVERIFY(invalid_file_name_reason(QStringLiteral("..ent")).isEmpty());
        QVERIFY(!invalid_file_name_reason(QStringLiteral(".")).isEmpty());
        QVERIFY(!invalid_file_name_reason(QStringLiteral("..")).isEmpty());
        QVERIFY(!invalid_file_name_reason(QString()).isEmpty());
        QVERIFY(invalid_file_name_reason(QStringLiteral("a/b.ent")).contains(QStringLiteral("a/b.ent")));
    }

    void savePrompts_data() {
        QTest::addColumn<bool>("onlyEntry");
        QTest::addColumn<bool>("yes");
        QTest::newRow("both, yes") << false << true;
        QTest::newRow("both, no") << false << false;
        QTest::newRow("entry only, yes") << true << true;
    }
    void savePrompts() {
        QFETCH(bool, onlyEntry);
        QFETCH(bool, yes);
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        state.membersChanged = true;
        state.entryChanged = true;
        ScriptedPrompter prompter;
        prompter.defaultAnswer = yes;
        QVERIFY(ask_save_changes(state, onlyEntry, prompter));
        QStringList expected;
        if (!onlyEntry)
            expected << QStringLiteral("現在のメンバーデータを保存します。よろしいですか？");
        expected << QStringLiteral("現在のエントリーデータを保存します。よろしいですか？");
        QCOMPARE(prompter.questions(), expected);
        for (const ScriptedPrompter::Shown& shown : prompter.shown())
            QVERIFY2(!shown.escapable, "Escape must not answer a save question");
        QCOMPARE(state.membersChanged, onlyEntry);
        QCOMPARE(state.entryChanged, false);
        QCOMPARE(QFile::exists(state.memberFilePath()), yes && !onlyEntry);
        QCOMPARE(QFile::exists(state.entryFilePath()), yes);
    }

    void failedSaveKeepsFlag() {
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        state.appFolder = dir.path() + QStringLiteral("/missing/");
        state.membersChanged = true;
        state.entryChanged = true;
        ScriptedPrompter prompter;
        prompter.setNextAnswer(false);
        prompter.setNextAnswer(true);
        QVERIFY(!ask_save_changes(state, false, prompter));
        QCOMPARE(state.membersChanged, false); // answered No
        QCOMPARE(state.entryChanged, true);    // the save failed
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().first().contains(QStringLiteral("old.ent")));
        QCOMPARE(prompter.shown().last().icon, Prompter::Icon::Exclamation);

        // Neither a new entry nor another file replaces the couples that could not be saved.
        prompter.setNextAnswer(true);
        QVERIFY(!command_new_entry(state, prompter));
        QCOMPARE(state.coupleCount, 1);
        QVERIFY(!command_save_entry(state, prompter));
        QCOMPARE(state.entryChanged, true);
    }

    void newEntry() {
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        ScriptedPrompter prompter;
        prompter.setNextInput(QStringLiteral("秋季戦"));
        QVERIFY(command_new_entry(state, prompter));
        QCOMPARE(state.coupleCount, 0);
        QCOMPARE(state.entryFileName, QStringLiteral("秋季戦.ent"));
    }

    void openEntry() {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        AppState state = stateWithEntry(dir);
        AppState stored = state;
        stored.couples[0].backNumber = 42;
        stored.universityInfo.university = QStringLiteral("別大学");
        QVERIFY(write_entry_file(state.appFolder + QStringLiteral("b.ent"), stored));
        testfiles::writeBytes(state.appFolder + QStringLiteral("bad.ent"), testfiles::fromHex("01 00 00 00 02"));
        const AppState before = state;

        ScriptedPrompter prompter;
        prompter.setNextFile(elsewhere.path() + QStringLiteral("/missing.ent"));
        QVERIFY(!command_open_entry(state, prompter));
        const auto& dialog = prompter.shown().first().file;
        QCOMPARE(dialog.initialFolder, state.appFolder);
        QVERIFY(dialog.open);
        QCOMPARE(dialog.filter, QStringLiteral("エントリーデータ(*.ent)|*.ent|"));
        QCOMPARE(dialog.fileName, QString());
        QCOMPARE(dialog.title, QStringLiteral("エントリーデータ読み込み"));
        QCOMPARE(prompter.messages().size(), 1);
        QVERIFY(prompter.messages().first().contains(QStringLiteral("missing.ent")));

        prompter.setNextFile(state.appFolder + QStringLiteral("bad.ent"));
        QVERIFY(!command_open_entry(state, prompter));
        QCOMPARE(prompter.messages().size(), 2);
        QCOMPARE(state.couples, before.couples);
        QCOMPARE(state.entryFileName, before.entryFileName);
        QCOMPARE(state.universityInfo, before.universityInfo);

        QVERIFY(!command_open_entry(state, prompter)); // cancelled: nothing said
        QCOMPARE(prompter.messages().size(), 2);

        // A file chosen in another folder is that file, not the application folder's file of the same name.
        const QString missingElsewhere = elsewhere.path() + QStringLiteral("/b.ent");
        prompter.setNextFile(missingElsewhere);
        QVERIFY(!command_open_entry(state, prompter));
        QCOMPARE(state.entryFileName, before.entryFileName);
        QVERIFY(prompter.messages().constLast().contains(QDir::toNativeSeparators(missingElsewhere)));
        prompter.setNextFile(state.appFolder + QStringLiteral("b.ent"));
        QVERIFY(command_open_entry(state, prompter));
        QCOMPARE(state.entryFileName, QStringLiteral("b.ent"));
        QCOMPARE(state.couples[0].backNumber, 42);
        QCOMPARE(state.universityInfo.university, QStringLiteral("別大学"));
    }

    // An entry file chosen outside the data folder is copied there (a file of that name kept in backup/ first)
    // and the copy opened, only when the user agrees; a damaged one is refused before anything is asked.
    void openFromAnotherFolder_data() {
        QTest::addColumn<bool>("nameTaken");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("yes");
        QTest::newRow("new name, yes") << false << false << true;
        QTest::newRow("name taken, yes") << true << false << true;
        QTest::newRow("name taken, no") << true << false << false;
        QTest::newRow("damaged, name taken") << true << true << true;
    }
    void openFromAnotherFolder() {
        QFETCH(bool, nameTaken);
        QFETCH(bool, damaged);
        QFETCH(bool, yes);
        QTemporaryDir dir;
        QTemporaryDir usb;
        AppState state = stateWithEntry(dir);
        const QString chosen = usb.filePath(QStringLiteral("c.ent"));
        const QString target = state.appFolder + QStringLiteral("c.ent");
        AppState stored = state;
        stored.couples[0].backNumber = 77;
        QVERIFY(write_entry_file(chosen, stored));
        if (damaged)
            testfiles::writeBytes(chosen, testfiles::fromHex("01 00 00 00 02"));
        stored.couples[0].backNumber = 11;
        if (nameTaken)
            QVERIFY(write_entry_file(target, stored));
        const QByteArray chosenBytes = testfiles::readBytes(chosen);
        const QByteArray targetBytes = testfiles::readBytes(target); // empty: missing
        const AppState before = state;

        ScriptedPrompter prompter;
        prompter.setNextFile(chosen);
        prompter.setNextAnswer(yes);
        const bool opened = yes && !damaged;
        QCOMPARE(command_open_entry(state, prompter), opened);
        QCOMPARE(prompter.questions().size(), damaged ? 0 : 1);
        if (!damaged) {
            const QString question = prompter.questions().constFirst();
            QVERIFY2(question.contains(QDir::toNativeSeparators(chosen)), qPrintable(question));
            QCOMPARE(question.contains(QStringLiteral("同じ名前のファイル「c.ent」が既にあります")), nameTaken);
        }
        QCOMPARE(testfiles::readBytes(target), opened ? chosenBytes : targetBytes);
        QCOMPARE(state.entryFileName, opened ? QStringLiteral("c.ent") : before.entryFileName);
        QCOMPARE(state.couples[0].backNumber, opened ? 77 : before.couples[0].backNumber);
        const QStringList kept = QDir(state.appFolder + QStringLiteral("backup")).entryList(QDir::Files);
        QCOMPARE(kept.size(), opened && nameTaken ? 1 : 0);
        QCOMPARE(prompter.messages().size(), damaged || !kept.isEmpty() ? 1 : 0);
        if (!kept.isEmpty()) {
            QCOMPARE(testfiles::readBytes(state.appFolder + QStringLiteral("backup/") + kept.first()), targetBytes);
            QVERIFY(prompter.messages().constLast().contains(kept.first()));
        }
    }

    // Targets of the exports: the program's own files are refused by any path (and for the member text every
    // entry file of the data folder); any other existing file is kept in backup/ before the entry export
    // replaces it, and the export says where.
    void exportTargets_data() {
        QTest::addColumn<QString>("target"); // under "data/" or "out/"
        QTest::addColumn<bool>("refusedForText");
        QTest::addColumn<bool>("refusedForEntry");
        QTest::newRow("member.dat") << "data/member.dat" << true << true;
        QTest::newRow("uniinf.dat") << "data/uniinf.dat" << true << true;
        QTest::newRow("Gamename.txt") << "data/Gamename.txt" << true << true;
        QTest::newRow("the lock") << "data/.danceentry.lock" << true << true;
        QTest::newRow("a backup") << "data/backup/a_20250401-100000.ent" << true << true;
        QTest::newRow("a new file in backup/") << "data/backup/new.ent" << true << true;
        QTest::newRow("through ..") << "data/backup/../member.dat" << true << true;
        QTest::newRow("link to member.dat") << "out/link.txt" << true << true;
        QTest::newRow("hard link to uniinf.dat") << "out/hard.txt" << true << true;
        QTest::newRow("another entry file") << "data/b.ent" << true << false;
        QTest::newRow("entry file in capitals") << "data/C.ENT" << true << false;
        QTest::newRow("the open entry file") << "data/old.ent" << true << false;
        QTest::newRow("other file elsewhere") << "out/notes.txt" << false << false;
        QTest::newRow("new file elsewhere") << "out/new.ent" << false << false;
    }
    void exportTargets() {
        QFETCH(QString, target);
        QFETCH(bool, refusedForText);
        QFETCH(bool, refusedForEntry);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("data/backup")) &&
                QDir(root.path()).mkdir(QStringLiteral("out")));
        AppState state = stateWithEntry(root);
        state.appFolder = root.filePath(QStringLiteral("data/"));
        for (const char* name : {"member.dat", "uniinf.dat", "Gamename.txt", ".danceentry.lock", "b.ent", "C.ENT",
                                 "old.ent", "backup/a_20250401-100000.ent"})
            testfiles::writeBytes(state.appFolder + QLatin1String(name), QByteArray("bytes of ") + name);
        testfiles::writeBytes(root.filePath(QStringLiteral("out/notes.txt")), "notes");
        QVERIFY(QFile::link(state.memberFilePath(), root.filePath(QStringLiteral("out/link.txt"))));
        QCOMPARE(::link(QFile::encodeName(state.universityFilePath()).constData(),
                        QFile::encodeName(root.filePath(QStringLiteral("out/hard.txt"))).constData()),
                 0);
        const QString path = root.filePath(target);
        const QByteArray earlier = QFile::exists(path) ? testfiles::readBytes(path) : QByteArray();
        const QStringList backupsBefore = QDir(state.appFolder + QStringLiteral("backup")).entryList(QDir::Files);

        QCOMPARE(!export_target_refusal(state, path, ExportKind::MemberText).isEmpty(), refusedForText);
        ScriptedPrompter prompter;
        prompter.setNextFile(path); // a refused target shows the dialog again, which is then cancelled
        const ExportResult result = export_entry(state, prompter);
        QStringList kept = QDir(state.appFolder + QStringLiteral("backup")).entryList(QDir::Files);
        for (const QString& name : backupsBefore)
            kept.removeOne(name);
        if (refusedForEntry) {
            QCOMPARE(result, ExportResult::Cancelled);
            QCOMPARE(testfiles::readBytes(path), earlier);
            QVERIFY2(prompter.messages().constLast().contains(QDir::toNativeSeparators(path)),
                     qPrintable(prompter.messages().constLast()));
            QVERIFY(kept.isEmpty());
            return;
        }
        QCOMPARE(result, ExportResult::Exported);
        AppState exported;
        QVERIFY(read_entry_file(path, exported));
        QCOMPARE(exported.couples, state.couples);
        const bool replaced = !earlier.isEmpty() && !target.endsWith(QLatin1String("old.ent"));
        QCOMPARE(kept.size(), replaced ? 1 : 0);
        if (replaced) {
            QCOMPARE(testfiles::readBytes(state.appFolder + QStringLiteral("backup/") + kept.first()), earlier);
            QVERIFY(prompter.messages().constLast().contains(kept.first()));
        }
    }

    void saveAsFailureKeepsOldName() {
        QTemporaryDir dir;
        AppState state = stateWithEntry(dir);
        state.entryChanged = true;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.ent"))); // a folder where the file would go
        ScriptedPrompter prompter;
        prompter.setNextInput(QStringLiteral("taken"));
        prompter.setNextAnswer(true);
        QVERIFY(!command_save_entry_as(state, prompter));
        QCOMPARE(state.entryFileName, QStringLiteral("old.ent"));
        QCOMPARE(state.entryChanged, true);
        QCOMPARE(prompter.messages().size(), 1);

        prompter.setNextInput(QStringLiteral("new"));
        QVERIFY(command_save_entry_as(state, prompter));
        QCOMPARE(state.entryChanged, false);
        QVERIFY(QFile::exists(state.appFolder + QStringLiteral("new.ent")));
    }

    // A file the program could not read is kept in backup/, byte for byte, before a save writes over it, and the
    // user is told where: the roster, the university information, and an entry file that would not open.
    void savingOverAnUnreadFileKeepsIt_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("member.dat") << QStringLiteral("member.dat");
        QTest::newRow("uniinf.dat") << QStringLiteral("uniinf.dat");
        QTest::newRow("entry file") << QStringLiteral("春.ent");
    }
    void savingOverAnUnreadFileKeepsIt() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        AppState state = testfiles::stateIn(dir);
        const QString path = state.appFolder + name;
        const QByteArray damaged = testfiles::fromHex("05 00 00 00 02 00");
        testfiles::writeBytes(path, damaged);
        ScriptedPrompter prompter;
        bool saved = false;
        if (name == QLatin1String("member.dat")) {
            state.unreadFiles.insert(path); // as the start-up leaves it
            saved = command_save_members(state, prompter);
        } else if (name == QLatin1String("uniinf.dat")) {
            state.unreadFiles.insert(path);
            UniversityInfo info;
            info.university = QStringLiteral("蒼嶺大学");
            saved = store_university_info(state, info, prompter);
        } else {
            prompter.setNextFile(path);
            QVERIFY(!command_open_entry(state, prompter)); // damaged: reported, remembered
            prompter.setNextInput(QStringLiteral("春"));
            prompter.setNextAnswer(true); // overwrite
            QVERIFY(command_new_entry(state, prompter));
            saved = command_save_entry(state, prompter);
        }
        QVERIFY(saved);
        const QStringList kept = QDir(state.appFolder + QStringLiteral("backup")).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(testfiles::readBytes(state.appFolder + QStringLiteral("backup/") + kept.first()), damaged);
        QVERIFY2(prompter.messages().constLast().contains(kept.first()),
                 qPrintable(prompter.messages().join(QLatin1Char('|'))));
        QVERIFY(testfiles::readBytes(path) != damaged);
        QVERIFY(state.unreadFiles.isEmpty());
    }

    // The exported file is an entry file the program can open again, and the member text a text file: a name
    // without an extension gets one; a name with any extension stays as typed.
    void exportFileNames_data() {
        QTest::addColumn<bool>("memberText");
        QTest::addColumn<QString>("typed"); // empty: the proposed name as it is
        QTest::addColumn<QString>("written");
        QTest::newRow("proposed") << false << QString() << QStringLiteral("蒼嶺大学_秋の部内戦.ent");
        QTest::newRow("typed without extension") << false << QStringLiteral("entry") << QStringLiteral("entry.ent");
        QTest::newRow("typed with .ent") << false << QStringLiteral("entry.ent") << QStringLiteral("entry.ent");
        QTest::newRow("typed with .ENT") << false << QStringLiteral("entry.ENT") << QStringLiteral("entry.ENT");
        QTest::newRow("another extension") << false << QStringLiteral("entry.dat") << QStringLiteral("entry.dat");
        QTest::newRow("member text") << true << QStringLiteral("members") << QStringLiteral("members.txt");
        QTest::newRow("member text, another extension")
            << true << QStringLiteral("members.csv") << QStringLiteral("members.csv");
    }
    void exportFileNames() {
        QFETCH(bool, memberText);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
        const QString out = dir.filePath(QStringLiteral("out/"));
        if (memberText) {
            // As the member text export takes the dialog's answer.
            QCOMPARE(with_default_suffix(out + typed, QStringLiteral("txt")), out + written);
            return;
        }
        AppState state = stateToExport(dir);
        ScriptedPrompter prompter;
        prompter.setNextFile(out + (typed.isEmpty() ? export_file_name(state.universityInfo) : typed));
        QString path;
        QCOMPARE(export_entry(state, prompter, {.rememberedFolder = {}, .launcher = nullptr, .writtenPath = &path}),
                 ExportResult::Exported);
        QCOMPARE(path, out + written);
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{written});
        const Prompter::FileRequest request = prompter.shown().at(1).file;
        QCOMPARE(request.fileName, QStringLiteral("蒼嶺大学_秋の部内戦"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("ent"));
    }

    // The save dialog starts where the last export went, else in Documents (or home), never in the data folder.
    void exportStartFolder_data() {
        QTest::addColumn<QString>("remembered"); // under the test's folder; "-" for none
        QTest::addColumn<bool>("used");
        QTest::newRow("the last export's folder") << "out" << true;
        QTest::newRow("none remembered") << "-" << false;
        QTest::newRow("the data folder") << "data" << false;
        QTest::newRow("the data folder's backup") << "data/backup" << false;
    }
    void exportStartFolder() {
        QFETCH(QString, remembered);
        QFETCH(bool, used);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/backup")) &&
                QDir(dir.path()).mkdir(QStringLiteral("out")));
        AppState state = stateToExport(dir);
        state.appFolder = dir.filePath(QStringLiteral("data/"));
        const QString folder = remembered == QLatin1String("-") ? QString() : dir.filePath(remembered);
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString fallback = QFileInfo(documents).isDir() ? documents : QDir::homePath();
        QCOMPARE(export_start_folder(state, folder), used ? folder : fallback);
        ScriptedPrompter prompter;
        export_entry(state, prompter, {.rememberedFolder = folder, .launcher = nullptr, .writtenPath = nullptr});
        QCOMPARE(prompter.shown().at(1).file.initialFolder, used ? folder : fallback);
    }

    // The closing message names the file and offers to send it or show its folder; Escape closes it.
    void closingMessage_data() {
        QTest::addColumn<QString>("choice"); // empty: Escape
        QTest::addColumn<bool>("mailInstalled");
        QTest::addColumn<bool>("mailStarted");
        QTest::addColumn<bool>("folderShown");
        QTest::addColumn<bool>("toldToAttach");
        QTest::newRow("Escape") << QString() << true << false << false << false;
        QTest::newRow("閉じる") << QStringLiteral("閉じる") << true << false << false << false;
        QTest::newRow("メールで送る") << QStringLiteral("メールで送る") << true << true << false << false;
        QTest::newRow("メールで送る, no mail program")
            << QStringLiteral("メールで送る") << false << true << false << true;
        QTest::newRow("フォルダを開く") << QStringLiteral("フォルダを開く") << true << false << true << false;
    }
    void closingMessage() {
        QFETCH(QString, choice);
        QFETCH(bool, mailInstalled);
        QFETCH(bool, mailStarted);
        QFETCH(bool, folderShown);
        QFETCH(bool, toldToAttach);
        QTemporaryDir dir;
        AppState state = stateToExport(dir);
        const QString path = dir.filePath(QStringLiteral("蒼嶺大学_秋の部内戦.ent"));
        ScriptedPrompter prompter;
        prompter.setNextFile(path);
        if (!choice.isEmpty())
            prompter.setNextChoice(choice);
        RecordingLauncher launcher;
        launcher.mailInstalled = mailInstalled;
        QCOMPARE(export_entry(state, prompter, {.rememberedFolder = {}, .launcher = &launcher, .writtenPath = nullptr}),
                 ExportResult::Exported);

        // The e-mail note first, as designed; then the file dialog and the closing message.
        QCOMPARE(prompter.shown().at(0).text, QStringLiteral("これから出力するファイルを E-Mail にて送ってください。"));
        const ScriptedPrompter::Shown closing = prompter.shown().at(2);
        QCOMPARE(closing.kind, ScriptedPrompter::Shown::Choice);
        QVERIFY2(closing.text.contains(QDir::toNativeSeparators(path)), qPrintable(closing.text));
        QCOMPARE(closing.choices, (QStringList{QStringLiteral("メールで送る"), QStringLiteral("フォルダを開く"),
                                               QStringLiteral("閉じる")}));
        const QStringList mail = {QStringLiteral("xdg-email"), QStringLiteral("--subject"),
                                  QStringLiteral("蒼嶺大学 秋の部内戦 エントリー"), QStringLiteral("--attach"), path};
        QCOMPARE(launcher.started, mailStarted ? mail : QStringList());
        QCOMPARE(launcher.shownFile, folderShown ? path : QString());
        QCOMPARE(prompter.shown().size(), toldToAttach ? 4 : 3);
        if (toldToAttach)
            QVERIFY2(prompter.lastText().contains(QDir::toNativeSeparators(path)), qPrintable(prompter.lastText()));
    }
};

QTEST_GUILESS_MAIN(TestEntryCommands)
#include "tst_entrycommands.moc"
