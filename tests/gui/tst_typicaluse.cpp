// A season's work from an empty folder, through the real windows: first-use university information,
// three members, a new entry with two couples, dances switched in the grid, a partner deleted, saved,
// exported to another folder, and the program ended with its save prompts. Then the files are read back.

#include "coupleeditor.h"
#include "cp932.h"
#include "datafiles.h"
#include "entrydialog.h"
#include "folderlock.h"
#include "guitest.h"
#include "membereditor.h"
#include "scriptedprompter.h"
#include "startup.h"
#include "testfiles.h"
#include "vocabulary.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

using namespace guitest;

namespace {

int rowOf(QTreeWidget* list, const QString& name) {
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (list->topLevelItem(row)->text(0) == name)
            return row;
    }
    return -1;
}

// Typing as an input method delivers it: key events carrying the composed text.
void type(QWidget* box, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QAction* action(QWidget* window, const char* name) {
    return window->findChild<QAction*>(QLatin1String(name));
}

} // namespace

class TestTypicalUse : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QTemporaryDir m_mailFolder;
    AppState m_state;
    ScriptedPrompter m_prompter;
    FolderLock m_lock; // held while the window runs, as the program holds it
    std::unique_ptr<MainWindow> m_window;

    void addMember(const QString& name, const QString& kana, const QString& year, bool partner) {
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        MemberEditor* editor = m_window->memberEditor();
        QVERIFY(editor && editor->isVisible());
        type(child<QLineEdit>(editor, "txt_name"), name);
        type(child<QLineEdit>(editor, "txt_kana"), kana);
        auto* years = child<QComboBox>(editor, "cmb_kaisei");
        years->setCurrentIndex(years->findText(year));
        QTest::mouseClick(child<QRadioButton>(editor, partner ? "opt_partner" : "opt_leader"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(editor, "cmd_ok"), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
    }

    void formCouple(const QString& leader, const QStringList& partners, const QString& number) {
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        CoupleEditor* editor = m_window->coupleEditor();
        QVERIFY(editor && editor->isVisible());
        auto* leaders = child<QTreeWidget>(editor, "lvw_Leader");
        auto* partnerList = child<QTreeWidget>(editor, "lvw_Partner");
        clickRow(leaders, rowOf(leaders, leader));
        for (qsizetype i = 0; i < partners.size(); ++i)
            clickRow(partnerList, rowOf(partnerList, partners[i]), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
        auto* numberBox = child<QLineEdit>(editor, "txt_pnum");
        numberBox->clear();
        type(numberBox, number);
        QTest::mouseClick(child<QPushButton>(editor, "cmd_OK"), Qt::LeftButton);
        QVERIFY(!editor->isVisible());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid() && m_mailFolder.isValid());
        QByteArray names;
        QVERIFY(cp932::encode(QStringLiteral("2\r\n秋の部内戦\r\n新人戦\r\n"), &names));
        testfiles::writeBytes(m_folder.filePath(QStringLiteral("Gamename.txt")), names);
    }

    // Step 1: the first start asks for the university information before the main window appears.
    void firstStart() {
        bool dialogSeen = false;
        onTopLevel(
            "frm_entry",
            [](QWidget* dialog) {
                type(child<QLineEdit>(dialog, "txt_University"), QStringLiteral("蒼嶺大学"));
                type(child<QLineEdit>(dialog, "txt_Head"), QStringLiteral("山本"));
                QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
            },
            &dialogSeen);
        m_window = start_up(m_state, m_prompter, m_folder.path() + QLatin1Char('/'), m_lock);
        QVERIFY(dialogSeen);
        QVERIFY(m_window && m_window->isVisible());
        QVERIFY(QFile::exists(m_folder.filePath(QStringLiteral("uniinf.dat"))));
        QCOMPARE(m_window->windowTitle(), memberCaption(0));
    }

    // Step 2: three members through the member editor.
    void addMembers() {
        addMember(QStringLiteral("佐藤"), QStringLiteral("さとう"), QStringLiteral("2"), false);
        addMember(QStringLiteral("鈴木"), QStringLiteral("すずき"), QStringLiteral("2"), true);
        addMember(QStringLiteral("高橋"), QStringLiteral("たかはし"), QStringLiteral("1"), true);
        QCOMPARE(m_window->windowTitle(), memberCaption(3));
        QCOMPARE(m_state.membersChanged, true);
    }

    // Step 3: a new entry file, named in the input box.
    void newEntry() {
        m_prompter.setNextInput(QStringLiteral("秋季戦"));
        action(m_window.get(), "mnu_new_entry")->trigger();
        QCOMPARE(m_state.entryFileName, QStringLiteral("秋季戦.ent"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("カップル数 : 0   ファイル名 : 秋季戦.ent"));
        QVERIFY(m_window->coupleGrid()->isVisible());
    }

    // Step 4: two couples; the grid shows them by back number.
    void formCouples() {
        formCouple(QStringLiteral("佐藤"), {QStringLiteral("高橋")}, QStringLiteral("8"));
        formCouple(QStringLiteral("佐藤"), {QStringLiteral("鈴木"), QStringLiteral("高橋")}, QStringLiteral("7"));
        CoupleGridView* grid = m_window->coupleGrid();
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(cell(grid, 1, kGridColBackNumber), QStringLiteral("7"));
        QCOMPARE(cell(grid, 1, kGridColPartner), QStringLiteral("鈴木"));
        QCOMPARE(cell(grid, 2, kGridColPartner), QStringLiteral("高橋"));
        QCOMPARE(cell(grid, 3, kGridColBackNumber), QStringLiteral("8"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("カップル数 : 2   ファイル名 : 秋季戦.ent"));
    }

    // Step 5: dances, regular mark and section switched in the grid; one partner deleted.
    void editInTheGrid() {
        CoupleGridView* grid = m_window->coupleGrid();
        clickCell(grid, 1, kGridColFirstDance + 0); // 鈴木: Walts
        clickCell(grid, 1, kGridColFirstDance + 1); // 鈴木: Tango
        clickCell(grid, 2, kGridColFirstDance + 3); // 高橋 in couple 7: Quick
        clickCell(grid, 3, kGridColFirstDance + 4); // couple 8: ChaCha
        clickCell(grid, 3, kGridColRegular);
        clickCell(grid, 3, kGridColSection);
        QCOMPARE(cell(grid, 1, kGridColFirstDance), kDanceMark);
        QCOMPARE(cell(grid, 3, kGridColRegular), kRegularMark);
        QCOMPARE(cell(grid, 3, kGridColSection), QStringLiteral("Latin"));

        clickCell(grid, 2, kGridColPartner);
        m_prompter.setNextAnswer(true);
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_del"), Qt::LeftButton);
        QCOMPARE(m_prompter.questions().last(), QStringLiteral("7 番の 高橋 を消去します。よろしいですか？"));
        QCOMPARE(grid->model()->rowCount(), 3);
        QCOMPARE(cell(grid, 1, kGridColPartner), QStringLiteral("鈴木"));
        QCOMPARE(m_state.entryChanged, true);
    }

    // Step 6: saved under its own name.
    void save() {
        action(m_window.get(), "mnu_save_entry")->trigger();
        QCOMPARE(m_state.entryChanged, false);
        QVERIFY(QFile::exists(m_folder.filePath(QStringLiteral("秋季戦.ent"))));
    }

    // Step 7: the checks pass, the export dialog stamps the couples and writes the file for e-mail.
    void exportEntry() {
        // Editing after the save makes the export the step that saves the entry.
        clickCell(m_window->coupleGrid(), 1, kGridColFirstDance + 2); // 鈴木: Fox
        QCOMPARE(m_state.entryChanged, true);

        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmdEntry"), Qt::LeftButton);
        EntryDialog* dialog = m_window->entryDialog();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->mode(), EntryDialog::Mode::Export);
        auto* games = child<QComboBox>(dialog, "cmb_Gname");
        QCOMPARE(games->count(), 2);
        games->setCurrentIndex(games->findText(QStringLiteral("秋の部内戦")));

        const QString target = m_mailFolder.filePath(QStringLiteral("蒼嶺大学_秋の部内戦.ent"));
        m_prompter.setNextFile(target);
        QSignalSpy exported(dialog, &EntryDialog::entryExported);
        QTest::mouseClick(child<QPushButton>(dialog, "cmd_OK"), Qt::LeftButton);
        QCOMPARE(exported.count(), 1);
        // The e-mail note, the file dialog, then the closing message that names the file.
        const QStringList messages = m_prompter.messages();
        QCOMPARE(messages.at(messages.size() - 2),
                 QStringLiteral("これから出力するファイルを E-Mail にて送ってください。"));
        QVERIFY2(messages.last().contains(QDir::toNativeSeparators(target)), qPrintable(messages.last()));
        const auto& fileRequest = m_prompter.shown().at(m_prompter.shown().size() - 2);
        QCOMPARE(fileRequest.kind, ScriptedPrompter::Shown::File);
        QCOMPARE(fileRequest.file.fileName, QStringLiteral("蒼嶺大学_秋の部内戦"));
        QCOMPARE(fileRequest.file.title, QStringLiteral("エントリーデータの出力"));
        QCOMPARE(m_state.entryChanged, false);
        QVERIFY(QFile::exists(target));
    }

    // Step 8: ending asks about the unsaved members only; Yes writes member.dat.
    void end() {
        QSignalSpy ended(m_window.get(), &MainWindow::programEnded);
        const qsizetype asked = m_prompter.questions().size();
        m_prompter.setNextAnswer(true);
        action(m_window.get(), "mnu_end")->trigger();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(m_prompter.questions().mid(asked),
                 QStringList{QStringLiteral("現在のメンバーデータを保存します。よろしいですか？")});
        QVERIFY(!m_prompter.unusedAnswers());
    }

    // What the club sends and keeps: both entry files hold the stamped couples and the university
    // information, and so do uniinf.dat and member.dat.
    void filesHoldTheWork() {
        AppState onDisk;
        onDisk.appFolder = m_folder.path() + QLatin1Char('/');
        QVERIFY(read_member_file(onDisk.memberFilePath(), onDisk));
        QCOMPARE(onDisk.memberCount, 3);
        QCOMPARE(onDisk.members.mid(0, 3), m_state.members.mid(0, 3));
        QVERIFY(read_university_file(onDisk.universityFilePath(), onDisk));
        QCOMPARE(onDisk.universityInfo.university, QStringLiteral("蒼嶺大学"));
        QCOMPARE(onDisk.universityInfo.head, QStringLiteral("山本"));
        QCOMPARE(onDisk.universityInfo.gameName, QStringLiteral("秋の部内戦"));

        const QStringList entryFiles = {m_folder.filePath(QStringLiteral("秋季戦.ent")),
                                        m_mailFolder.filePath(QStringLiteral("蒼嶺大学_秋の部内戦.ent"))};
        for (const QString& path : entryFiles) {
            AppState entry;
            QVERIFY2(read_entry_file(path, entry), qPrintable(path));
            QCOMPARE(entry.coupleCount, 2);
            QCOMPARE(entry.couples, m_state.couples.mid(0, 2));
            QCOMPARE(entry.universityInfo, onDisk.universityInfo);
        }
        QCOMPARE(testfiles::readBytes(entryFiles[0]), testfiles::readBytes(entryFiles[1]));

        // The couples as formed and edited: couple 8 first in the list, stamped with both names.
        const CoupleRecord& eight = m_state.couples[0];
        QCOMPARE(eight.backNumber, 8);
        QCOMPARE(eight.partnerDances, QStringList{QStringLiteral("C")});
        QCOMPARE(eight.regular, quint8(1));
        QCOMPARE(eight.section, quint8(1));
        QCOMPARE(eight.yearSum, 3);
        const CoupleRecord& seven = m_state.couples[1];
        QCOMPARE(seven.backNumber, 7);
        QCOMPARE(seven.partnerCount, 1);
        QCOMPARE(seven.partners[0].name, QStringLiteral("鈴木"));
        QCOMPARE(seven.partnerDances, QStringList{QStringLiteral("WTF")});
        QCOMPARE(seven.danceFlags, (QList<qint32>{0, 0, 0, -1, -1, -1, -1, -1}));
        for (const CoupleRecord& couple : {eight, seven}) {
            QCOMPARE(couple.university, QStringLiteral("蒼嶺大学"));
            QCOMPARE(couple.gameName, QStringLiteral("秋の部内戦"));
        }
    }

    void cleanupTestCase() { m_window.reset(); }
};

QTEST_MAIN(TestTypicalUse)
#include "tst_typicaluse.moc"
