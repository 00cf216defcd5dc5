// The main window: controls and menus, layout, view switch and enabling, the file menu, closing with the
// save prompts, the two option-menu commands, and undo and redo.

#include "cp932.h"
#include "datafiles.h"
#include "guitest.h"
#include "membereditor.h"
#include "printcommands.h"
#include "qtprompter.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "twips.h"
#include "undohistory.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>

using namespace guitest;
using testfiles::member;

class TestMainWindow : public QObject, public MainWindowFixture {
    Q_OBJECT

private:
    void newEntry(const QString& name) {
        m_prompter.setNextInput(name);
        action("mnu_new_entry")->trigger();
    }
    // The main window with the entry t.ent of one couple, in the couple view, active for the keyboard.
    CoupleGridView* startInCoupleView() {
        CoupleGridView* grid = MainWindowFixture::startInCoupleView(
            {testfiles::couple(7, m_state.members[0], {m_state.members[1]}, {QStringLiteral("W")})});
        activate();
        return grid;
    }
    void activate() {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void press(const char* keys) { QTest::keySequence(m_window.get(), QKeySequence(QString::fromLatin1(keys))); }

private slots:
    void init() {
        resetState({member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0),
                    member(QStringLiteral("佐藤"), QStringLiteral("さとう"), 2, 1)});
    }
    void cleanup() { closeWindow(); }

    void controlsHaveTheirNamesAndCaptions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("cmd_add") << "cmd_add" << QStringLiteral("追加");
        QTest::newRow("cmd_del") << "cmd_del" << QStringLiteral("削除");
        QTest::newRow("optMember") << "optMember" << QStringLiteral("メンバー表示");
        QTest::newRow("optCouple") << "optCouple" << QStringLiteral("カップル表示");
        QTest::newRow("cmdEntry") << "cmdEntry" << QStringLiteral("エントリーファイル出力");
    }
    void controlsHaveTheirNamesAndCaptions() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        startWindow();
        QCOMPARE(m_window->objectName(), QStringLiteral("frm_main"));
        auto* button = m_window->findChild<QAbstractButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(caption)); // nothing clipped
    }

    void menusHoldTheirEntriesInOrder() {
        startWindow();
        auto* file = child<QMenu>(m_window.get(), "mnu_file");
        auto* option = child<QMenu>(m_window.get(), "mnu_option");
        QVERIFY(file && option);
        QCOMPARE(file->title(), QStringLiteral("ファイル"));
        QCOMPARE(option->title(), QStringLiteral("オプション"));
        QStringList menus;
        for (const QAction* menu : m_window->menuBar()->actions())
            menus << menu->menu()->objectName() + QLatin1Char(':') + menu->text();
        QCOMPARE(menus.join(u' '),
                 QStringLiteral("mnu_file:ファイル mnu_edit:編集 mnu_option:オプション mnu_help:ヘルプ"));
        QCOMPARE(child<QMenu>(m_window.get(), "mnu_edit")->actions(),
                 (QList<QAction*>{action("mnu_undo"), action("mnu_redo")}));

        const QStringList fileNames =
            QStringLiteral("mnu_new_entry mnu_open_ently mnu_tmp mnu_save_entry mnu_save_change_filename mnu_tmp2 "
                           "mnu__save_member mnu_tmp1 mnu_print_preview mnu_print mnu_pdf mnu_print_separator mnu_end")
                .split(QLatin1Char(' '));
        const QStringList fileCaptions = {QStringLiteral("エントリーファイル新規作成"),
                                          QStringLiteral("エントリーファイルを開く"),
                                          QString(),
                                          QStringLiteral("エントリーファイルの上書き保存"),
                                          QStringLiteral("エントリーファイルを名前を付けて保存"),
                                          QString(),
                                          QStringLiteral("メンバーファイル保存"),
                                          QString(),
                                          QStringLiteral("印刷プレビュー"),
                                          QStringLiteral("印刷"),
                                          QStringLiteral("PDF出力"),
                                          QString(),
                                          QStringLiteral("終了")};
        QCOMPARE(file->actions().size(), fileNames.size());
        for (int i = 0; i < fileNames.size(); ++i) {
            QAction* entry = file->actions().at(i);
            QCOMPARE(entry->objectName(), fileNames.at(i));
            QCOMPARE(entry->isSeparator(), fileCaptions.at(i).isEmpty());
            if (!entry->isSeparator())
                QCOMPARE(entry->text(), fileCaptions.at(i));
        }
        const QStringList optionNames =
            QStringLiteral("mnu_Uni mnu_game_names mnu_up_Grade mnu_member_out mnu_member_import")
                .split(QLatin1Char(' '));
        const QStringList optionCaptions = {QStringLiteral("大学情報変更"), QStringLiteral("試合名の編集"),
                                            QStringLiteral("すべてのメンバーの学年を１つあげる"),
                                            QStringLiteral("メンバーテキスト出力"),
                                            QStringLiteral("メンバーCSV取り込み")};
        QCOMPARE(option->actions().size(), optionNames.size());
        for (int i = 0; i < optionNames.size(); ++i) {
            QCOMPARE(option->actions().at(i)->objectName(), optionNames.at(i));
            QCOMPARE(option->actions().at(i)->text(), optionCaptions.at(i));
        }
    }

    void startShowsTheMemberViewAtTheWidthOfTheColumns() {
        startWindow();
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Members);
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
        auto* list = child<MemberListView>(m_window.get(), "lvw_member");
        auto* grid = child<CoupleGridView>(m_window.get(), "mfg_couple");
        QVERIFY(list->isVisible());
        QVERIFY(!grid->isVisible());
        QVERIFY(child<QRadioButton>(m_window.get(), "optMember")->isChecked());
        // Six visible columns of 1440 twips and the hidden one; the client area is as wide as the list.
        QCOMPARE(list->totalColumnWidth(), 6 * twips::toPixelsX(1440, list));
        QCOMPARE(list->width(), m_window->centralWidget()->width());
        QVERIFY(list->viewport()->width() >= list->totalColumnWidth());
        QCOMPARE(m_window->centralWidget()->height(), twips::toPixelsY(5145, m_window.get()));
        QCOMPARE(list->y(), twips::toPixelsY(375, list));

        QVERIFY(!child<QPushButton>(m_window.get(), "cmdEntry")->isEnabled());
        QVERIFY(!action("mnu_save_entry")->isEnabled());
        QVERIFY(!action("mnu_save_change_filename")->isEnabled());
        QVERIFY(action("mnu_new_entry")->isEnabled());
        QVERIFY(action("mnu__save_member")->isEnabled());

        auto* add = child<QPushButton>(m_window.get(), "cmd_add");
        auto* del = child<QPushButton>(m_window.get(), "cmd_del");
        QCOMPARE(add->pos(), QPoint(0, 0));
        QCOMPARE(del->x(), add->width());
        QCOMPARE(add->height(), twips::toPixelsY(375, add));
    }

    void resizingWidensTheViewAndKeepsTheButtons() {
        startWindow();
        auto* list = child<MemberListView>(m_window.get(), "lvw_member");
        const QPoint entryButton = child<QPushButton>(m_window.get(), "cmdEntry")->pos();
        m_window->resize(m_window->width() + 150, m_window->height() + 40);
        QTRY_COMPARE(list->width(), m_window->centralWidget()->width());
        QCOMPARE(list->height(), m_window->centralWidget()->height() - twips::toPixelsY(375, list));
        QCOMPARE(child<QPushButton>(m_window.get(), "cmdEntry")->pos(), entryButton);

        newEntry(QStringLiteral("a"));
        auto* grid = child<CoupleGridView>(m_window.get(), "mfg_couple");
        m_window->resize(m_window->width() + 50, 60);
        QTRY_COMPARE(grid->width(), m_window->centralWidget()->width());
        QVERIFY(grid->height() >= 0);
        QVERIFY(!list->isVisible());
    }

    void coupleViewWithoutEntryShowsTheMessage() {
        startWindow();
        auto* optCouple = child<QRadioButton>(m_window.get(), "optCouple");
        QTest::mouseClick(optCouple, Qt::LeftButton);
        QCOMPARE(
            m_prompter.messages(),
            QStringList{QStringLiteral(
                "現在ファイルが選択されていません。\rメニューにある新規作成か、ファイルを読み込みを行ってください。")});
        QCOMPARE(m_prompter.shown().constLast().icon, Prompter::Icon::Information);
        QVERIFY(child<QRadioButton>(m_window.get(), "optMember")->isChecked());
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Members);
        QVERIFY(child<MemberListView>(m_window.get(), "lvw_member")->isVisible());
        QVERIFY(!child<QPushButton>(m_window.get(), "cmdEntry")->isEnabled());
        QVERIFY(!action("mnu_save_entry")->isEnabled());
    }

    // The same message through a real message box: the application's title, the icon, the two lines.
    void coupleViewMessageInARealMessageBox() {
        QtPrompter prompter;
        startWindow(&prompter);
        MessageBoxAnswer answer;
        answerNextMessageBox(&answer, QMessageBox::Ok);
        QTest::mouseClick(child<QRadioButton>(m_window.get(), "optCouple"), Qt::LeftButton);
        QVERIFY(answer.seen);
        QCOMPARE(answer.title, QStringLiteral("DanceEntry"));
        QCOMPARE(answer.icon, QMessageBox::Information);
        QCOMPARE(
            answer.text,
            QStringLiteral(
                "現在ファイルが選択されていません。\nメニューにある新規作成か、ファイルを読み込みを行ってください。"));
        QVERIFY(child<QRadioButton>(m_window.get(), "optMember")->isChecked());
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
    }

    void newEntryShowsTheCoupleViewAndEnablesTheSaveMenus() {
        startWindow();
        newEntry(QStringLiteral("秋季戦"));
        QCOMPARE(m_prompter.shown().constFirst().proposed, QStringLiteral("蒼嶺大学_試合名"));
        QCOMPARE(m_state.entryFileName, QStringLiteral("秋季戦.ent"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("カップル数 : 0   ファイル名 : 秋季戦.ent"));
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Couples);
        QVERIFY(child<QRadioButton>(m_window.get(), "optCouple")->isChecked());
        auto* grid = child<CoupleGridView>(m_window.get(), "mfg_couple");
        QVERIFY(grid->isVisible());
        QCOMPARE(grid->model()->rowCount(), 1);
        QVERIFY(child<QPushButton>(m_window.get(), "cmdEntry")->isEnabled());
        QVERIFY(action("mnu_save_entry")->isEnabled());
        QVERIFY(action("mnu_save_change_filename")->isEnabled());
        QVERIFY(!QFile::exists(m_state.entryFilePath())); // written by the first save only

        // Back in the member view the export button goes off, the save menus stay on.
        QTest::mouseClick(child<QRadioButton>(m_window.get(), "optMember"), Qt::LeftButton);
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Members);
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
        QVERIFY(!child<QPushButton>(m_window.get(), "cmdEntry")->isEnabled());
        QVERIFY(action("mnu_save_entry")->isEnabled());
        QVERIFY(action("mnu_save_change_filename")->isEnabled());

        // And into the couple view again by its option button.
        QTest::mouseClick(child<QRadioButton>(m_window.get(), "optCouple"), Qt::LeftButton);
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Couples);
        QVERIFY(m_prompter.messages().isEmpty());
    }

    void cancelledNewEntryStaysInTheMemberView() {
        startWindow();
        action("mnu_new_entry")->trigger(); // the input box is cancelled
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Members);
        QVERIFY(m_state.entryFileName.isEmpty());
        QVERIFY(!action("mnu_save_entry")->isEnabled());
    }

    void saveAsRenamesTheCaption() {
        startWindow();
        newEntry(QStringLiteral("秋季戦"));
        m_prompter.setNextInput(QStringLiteral("春季戦"));
        action("mnu_save_change_filename")->trigger();
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("春季戦.ent"))));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("カップル数 : 0   ファイル名 : 春季戦.ent"));
    }

    void openEntryReadsTheFileAndShowsItsCouples() {
        AppState other = m_state;
        other.couples = {testfiles::couple(7, m_state.members[0], {m_state.members[1]}, {QStringLiteral("W")})};
        other.coupleCount = 1;
        QVERIFY(write_entry_file(m_dir.filePath(QStringLiteral("b.ent")), other));
        startWindow();
        m_prompter.setNextFile(m_dir.filePath(QStringLiteral("b.ent")));
        action("mnu_open_ently")->trigger();
        QCOMPARE(m_window->windowTitle(), QStringLiteral("カップル数 : 1   ファイル名 : b.ent"));
        auto* grid = child<CoupleGridView>(m_window.get(), "mfg_couple");
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(cell(grid, 1, 0), QStringLiteral("7"));
    }

    // Ending asks about both kinds of unsaved data; the flags are cleared whatever the answer.
    void closingAsksTheSavePrompts_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void closingAsksTheSavePrompts() {
        QFETCH(bool, answer);
        startWindow();
        newEntry(QStringLiteral("秋季戦"));
        m_state.membersChanged = true;
        m_state.entryChanged = true;
        m_prompter.clear();
        m_prompter.setNextAnswer(answer);
        m_prompter.setNextAnswer(answer);
        QSignalSpy ended(m_window.get(), &MainWindow::programEnded);
        action("mnu_end")->trigger();
        QCOMPARE(m_prompter.questions(),
                 (QStringList{QStringLiteral("現在のメンバーデータを保存します。よろしいですか？"),
                              QStringLiteral("現在のエントリーデータを保存します。よろしいですか？")}));
        QCOMPARE(m_state.membersChanged, false);
        QCOMPARE(m_state.entryChanged, false);
        QCOMPARE(QFile::exists(m_state.memberFilePath()), answer);
        QCOMPARE(QFile::exists(m_state.entryFilePath()), answer);
        QVERIFY(!m_window->isVisible());
        QCOMPARE(ended.size(), 1);
    }

    void closeBoxAsksNothingWithoutChanges() {
        startWindow();
        newEntry(QStringLiteral("x"));
        m_prompter.clear();
        QVERIFY(m_window->close());
        QVERIFY(m_prompter.shown().isEmpty());
        QVERIFY(!QFile::exists(m_state.entryFilePath()));
    }

    // A Yes whose save fails keeps the program open with the changes still marked.
    void failedSaveOnCloseKeepsTheWindowOpen() {
        startWindow();
        m_state.entryFileName = QStringLiteral("missing-folder/x.ent");
        m_state.entryChanged = true;
        m_prompter.setNextAnswer(true);
        QSignalSpy ended(m_window.get(), &MainWindow::programEnded);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_state.entryChanged, true);
        QCOMPARE(m_prompter.messages().size(), 1);
        QCOMPARE(ended.size(), 0);
    }

    void closingClosesTheOtherWindows() {
        startWindow();
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        QVERIFY(m_window->memberEditor() && m_window->memberEditor()->isVisible());
        QVERIFY(m_window->close());
        QVERIFY(!m_window->memberEditor() || !m_window->memberEditor()->isVisible());
    }

    void yearAdvanceThroughTheMenu() {
        m_state.members = {member(QStringLiteral("一年"), QStringLiteral("いち"), 1, 0),
                           member(QStringLiteral("四年"), QStringLiteral("よん"), 4, 1),
                           member(QStringLiteral("三年"), QStringLiteral("さん"), 3, 1)};
        m_state.memberCount = 3;
        AppState entry = m_state;
        entry.couples = {testfiles::couple(1, m_state.members[0], {m_state.members[1]}, {QStringLiteral("W")}),
                         testfiles::couple(2, m_state.members[0], {m_state.members[2]}, {QStringLiteral("T")})};
        entry.coupleCount = 2;
        QVERIFY(write_entry_file(m_dir.filePath(QStringLiteral("a.ent")), entry));
        startWindow();
        m_prompter.setNextFile(m_dir.filePath(QStringLiteral("a.ent")));
        action("mnu_open_ently")->trigger();
        QCOMPARE(m_window->viewMode(), MainWindow::ViewMode::Couples);

        m_prompter.setNextAnswer(true);
        m_prompter.setNextAnswer(true);
        action("mnu_up_Grade")->trigger();
        QCOMPARE(m_prompter.questions().size(), 2);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_state.memberCount, 2);
        QCOMPARE(listedNames(m_window->memberList()), (QStringList{QStringLiteral("一年"), QStringLiteral("三年")}));
        QCOMPARE(m_window->memberList()->topLevelItem(0)->text(2), QStringLiteral("2")); // the year
        QVERIFY(QFile::exists(m_state.memberFilePath()));
        // The couple view shows the re-read entry, the couple with a fourth-year partner gone.
        auto* grid = child<CoupleGridView>(m_window.get(), "mfg_couple");
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(cell(grid, 1, 0), QStringLiteral("2"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("カップル数 : 1   ファイル名 : a.ent"));
    }

    void yearAdvanceAnsweredNoChangesNothing() {
        startWindow();
        m_prompter.setNextAnswer(false);
        action("mnu_up_Grade")->trigger();
        QCOMPARE(m_state.members.at(0).year, quint8(3));
        QVERIFY(!QFile::exists(m_state.memberFilePath()));
        QCOMPARE(m_window->windowTitle(), memberCaption(2));
    }

    // The text export writes the members in the order the list shows them.
    void memberTextInTheOrderOnScreen() {
        m_state.members.append(member(QStringLiteral("阿部"), QStringLiteral("あべ"), 1, 0));
        m_state.memberCount = 3;
        startWindow();
        clickHeader(m_window->memberList(), 1); // かな ascending
        const QString path = m_dir.filePath(QStringLiteral("members"));
        m_prompter.setNextFile(path);
        action("mnu_member_out")->trigger();
        QCOMPARE(m_prompter.shown().at(0).kind, ScriptedPrompter::Shown::File);
        QCOMPARE(m_prompter.shown().at(0).file.title, QStringLiteral("メンバーテキスト出力"));
        QCOMPARE(m_prompter.shown().at(0).file.open, false);
        QCOMPARE(m_prompter.messages(), QStringList{QStringLiteral("テキスト出力完了！")});
        QString expected;
        for (int position : {2, 1, 0}) { // あべ, さとう, やまだ
            const MemberRecord& m = m_state.members.at(position);
            expected += m.name + QLatin1Char(',') + m.kana + QLatin1Char(',') + QString::number(m.year) +
                        QLatin1Char(',') + m.department + QLatin1Char(',') + m.highschool + QStringLiteral("\r\n");
        }
        QByteArray expectedBytes;
        QVERIFY(cp932::encode(expected, &expectedBytes));
        // A name typed without an extension gets ".txt".
        QCOMPARE(testfiles::readBytes(path + QStringLiteral(".txt")), expectedBytes);
    }

    void memberTextRefusesAnEmptyRosterAndReportsFailures() {
        m_state.members.clear();
        m_state.memberCount = 0;
        startWindow();
        action("mnu_member_out")->trigger();
        QCOMPARE(m_prompter.messages(), QStringList{QStringLiteral("メンバーが一人もいません。")});
        QCOMPARE(m_prompter.shown().constLast().icon, Prompter::Icon::Stop);
        QCOMPARE(m_prompter.shown().size(), 1); // no file dialog

        m_state.members = {member(QStringLiteral("山田"), QStringLiteral("やまだ"), 3, 0)};
        m_state.memberCount = 1;
        m_window->refillMemberList();
        m_prompter.clear();
        m_prompter.setNextFile(m_dir.filePath(QStringLiteral("no-such-folder/m.txt")));
        action("mnu_member_out")->trigger();
        QCOMPARE(m_prompter.messages().size(), 1);
        QVERIFY(m_prompter.messages().constFirst() != QStringLiteral("テキスト出力完了！"));

        m_prompter.clear();
        action("mnu_member_out")->trigger(); // cancelled dialog: nothing more
        QCOMPARE(m_prompter.messages().size(), 0);
    }

    // The member text refuses an entry file of the data folder and shows the dialog again; the file then chosen
    // is kept in backup/ before it is replaced, and the closing message says where after "テキスト出力完了！".
    void memberTextKeepsWhatItReplaces() {
        startWindow();
        const QString entry = m_dir.filePath(QStringLiteral("a.ent"));
        const QString notes = m_dir.filePath(QStringLiteral("notes.txt"));
        testfiles::writeBytes(entry, "entry");
        testfiles::writeBytes(notes, "old notes");
        m_prompter.setNextFile(entry);
        m_prompter.setNextFile(notes);
        action("mnu_member_out")->trigger();
        const QStringList messages = m_prompter.messages();
        QCOMPARE(messages.size(), 2);
        QVERIFY2(messages[0].contains(QDir::toNativeSeparators(entry)), qPrintable(messages[0]));
        QCOMPARE(testfiles::readBytes(entry), QByteArray("entry"));
        const QStringList kept = QDir(m_dir.filePath(QStringLiteral("backup"))).entryList(QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(testfiles::readBytes(m_dir.filePath(QStringLiteral("backup/")) + kept.first()),
                 QByteArray("old notes"));
        QVERIFY2(messages[1].startsWith(QStringLiteral("テキスト出力完了！\n")) && messages[1].contains(kept.first()),
                 qPrintable(messages[1]));
    }

    // PDF出力 writes what the view shows: the roster in the list's order, then the open entry; the file is proposed
    // in the documents folder, gets its ending, and a failure says why.
    void pdfOfTheShownView() {
        m_state.members.append(member(QStringLiteral("阿部"), QStringLiteral("あべ"), 1, 0));
        m_state.memberCount = 3;
        startWindow();
        clickHeader(m_window->memberList(), 1); // かな ascending: あべ, さとう, やまだ
        const QString roster = m_dir.filePath(QStringLiteral("roster"));
        m_prompter.setNextFile(roster);
        action("mnu_pdf")->trigger();
        QCOMPARE(m_prompter.shown().at(0).file.initialFolder, pdf_default_folder());
        QCOMPARE(m_prompter.messages(),
                 QStringList{QStringLiteral("PDF「%1.pdf」を出力しました。").arg(QDir::toNativeSeparators(roster))});
        const QString rosterText = testfiles::pdfText(roster + QStringLiteral(".pdf"));
        if (rosterText.isNull())
            QSKIP("pdftotext is not installed (poppler-utils)");
        const qsizetype abe = rosterText.indexOf(QStringLiteral("阿部"));
        QVERIFY(abe > 0 && abe < rosterText.indexOf(QStringLiteral("佐藤")) &&
                rosterText.indexOf(QStringLiteral("佐藤")) < rosterText.indexOf(QStringLiteral("山田")));

        newEntry(QStringLiteral("秋季戦"));
        m_prompter.clear();
        const QString entry = m_dir.filePath(QStringLiteral("秋季戦.PDF"));
        m_prompter.setNextFile(entry);
        m_prompter.setNextFile(m_dir.filePath(QStringLiteral("no-such-folder/x.pdf")));
        action("mnu_pdf")->trigger();
        QCOMPARE(m_prompter.shown().at(0).file.fileName, QStringLiteral("秋季戦.pdf"));
        QVERIFY(testfiles::pdfText(entry).contains(QStringLiteral("ファイル名 : 秋季戦.ent")));
        action("mnu_pdf")->trigger();
        QCOMPARE(m_prompter.messages().size(), 2);
        QVERIFY2(m_prompter.messages().constLast().contains(QStringLiteral("保存できませんでした")),
                 qPrintable(m_prompter.messages().constLast()));
    }

    // 印刷プレビュー shows Qt's preview with the pages of the same renderer.
    void previewShowsThePages() {
        startWindow();
        QString title;
        int pages = -1;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            preview->updatePreview();
            pages = preview->pageCount();
            dialog->reject();
        });
        action("mnu_print_preview")->trigger();
        QCOMPARE(title, QStringLiteral("印刷プレビュー"));
        QCOMPARE(pages, 1);
    }

    // ---- undo and redo ----

    // One step each, named by the edit menu: Ctrl+Z puts back what the view showed and marks the data changed,
    // either redo key does the edit again. The menu acts on the view on screen; another entry file ends the
    // entry's history.
    void undoAndRedo_data() {
        QTest::addColumn<int>("column"); // the grid cell clicked; -1: both members deleted in the member view
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("redoKeys");
        QTest::newRow("members deleted") << -1 << QStringLiteral("メンバー削除") << "Ctrl+Y";
        QTest::newRow("dance") << 4 << QStringLiteral("種目の切り替え") << "Ctrl+Shift+Z";
    }
    void undoAndRedo() {
        QFETCH(int, column);
        QFETCH(QString, step);
        QFETCH(QString, redoKeys);
        CoupleGridView* grid = startInCoupleView();
        const bool members = column < 0;
        if (members)
            QTest::mouseClick(child<QRadioButton>(m_window.get(), "optMember"), Qt::LeftButton);
        QCOMPARE(action("mnu_undo")->text(), QStringLiteral("元に戻す"));
        QVERIFY(!action("mnu_undo")->isEnabled() && !action("mnu_redo")->isEnabled());
        const QList<MemberRecord> memberList = m_state.members;
        const QList<CoupleRecord> coupleList = m_state.couples;
        const auto shown = [&] {
            return members ? listedNames(m_window->memberList()) : QStringList{cell(grid, 1, column)};
        };
        const QStringList before = shown();
        if (members) {
            m_window->memberList()->selectAll();
            m_prompter.setNextAnswer(true);
            QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_del"), Qt::LeftButton);
        } else {
            clickCell(grid, 1, column);
        }
        QCOMPARE(action("mnu_undo")->text(), QStringLiteral("元に戻す ") + step);

        m_state.membersChanged = m_state.entryChanged = false;
        press("Ctrl+Z");
        QCOMPARE(m_state.members, memberList);
        QCOMPARE(m_state.couples, coupleList);
        QCOMPARE(shown(), before);
        QVERIFY(members ? m_state.membersChanged : m_state.entryChanged);
        QVERIFY(!action("mnu_undo")->isEnabled());
        QCOMPARE(action("mnu_redo")->text(), QStringLiteral("やり直し ") + step);
        press(qPrintable(redoKeys));
        QVERIFY(shown() != before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList()); // no file was touched

        QTest::mouseClick(child<QRadioButton>(m_window.get(), members ? "optCouple" : "optMember"), Qt::LeftButton);
        QVERIFY(!action("mnu_undo")->isEnabled()); // the other view's history is empty
        if (!members) {
            QTest::mouseClick(child<QRadioButton>(m_window.get(), "optCouple"), Qt::LeftButton);
            m_prompter.setNextAnswer(false); // the entry is not saved
            newEntry(QStringLiteral("次の大会"));
            QVERIFY(!action("mnu_undo")->isEnabled());
        }
    }

    // Ctrl+S saves what the view shows, and the file menu shows the key on that entry only.
    void saveKeyFollowsTheView_data() {
        QTest::addColumn<bool>("memberView");
        QTest::newRow("member view") << true;
        QTest::newRow("couple view") << false;
    }
    void saveKeyFollowsTheView() {
        QFETCH(bool, memberView);
        startInCoupleView();
        if (memberView)
            QTest::mouseClick(child<QRadioButton>(m_window.get(), "optMember"), Qt::LeftButton);
        activate();
        QFile::remove(m_state.memberFilePath());
        m_state.entryChanged = true;
        press("Ctrl+S");
        QCOMPARE(QFile::exists(m_state.memberFilePath()), memberView);
        QCOMPARE(m_state.entryChanged, memberView);
        const QKeySequence save(QStringLiteral("Ctrl+S"));
        QCOMPARE(action("mnu__save_member")->shortcut() == save, memberView);
        QCOMPARE(action("mnu_save_entry")->shortcut() == save, !memberView);
    }

    // A member change reaches the couple that holds the member when asked: a step of its own in the entry's
    // history, undone in the couple view; the roster's step is undone in the member view.
    void correctionReachesCouples_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void correctionReachesCouples() {
        QFETCH(bool, yes);
        CoupleGridView* grid = startInCoupleView();
        QTest::mouseClick(child<QRadioButton>(m_window.get(), "optMember"), Qt::LeftButton);
        const QList<MemberRecord> members = m_state.members;
        QTest::mouseClick(child<QPushButton>(m_window.get(), "cmd_add"), Qt::LeftButton);
        MemberEditor* editor = m_window->memberEditor();
        editor->openMember(1);
        child<QLineEdit>(editor, "txt_name")->setText(QStringLiteral("佐藤花"));
        child<QComboBox>(editor, "cmb_kaisei")->setEditText(QStringLiteral("4"));
        m_prompter.setNextAnswer(yes);
        QTest::mouseClick(child<QPushButton>(editor, "cmd_ok"), Qt::LeftButton);
        QCOMPARE(m_prompter.questions(),
                 QStringList{QStringLiteral("開いているエントリーの 1 組のカップルにもこの変更を反映しますか？")});
        QCOMPARE(m_state.couples[0].partners[0], yes ? m_state.members[1] : members[1]);
        QCOMPARE(m_state.couples[0].yearSum, yes ? 3 + 4 : 3 + 2);
        press("Ctrl+Z");
        QCOMPARE(m_state.members, members);
        QTest::mouseClick(child<QRadioButton>(m_window.get(), "optCouple"), Qt::LeftButton);
        QCOMPARE(cell(grid, 1, kGridColPartner), yes ? QStringLiteral("佐藤花") : QStringLiteral("佐藤"));
        QCOMPARE(action("mnu_undo")->text(),
                 yes ? QStringLiteral("元に戻す メンバー変更の反映") : QStringLiteral("元に戻す"));
        press("Ctrl+Z");
        QCOMPARE(cell(grid, 1, kGridColPartner), QStringLiteral("佐藤"));
    }

    // Each area's history keeps its last 100 steps and, of them, only as many as fit its memory bound: a hundred
    // one-record edits of a large entry all stay, of edits that change every couple the oldest go. What stays
    // undoes to the state after the last step dropped.
    void undoHistoryBounds_data() {
        QTest::addColumn<bool>("wholeList");
        QTest::addColumn<int>("edits");
        QTest::newRow("one couple per edit") << false << 120;
        QTest::newRow("every couple per edit") << true << 60;
    }
    void undoHistoryBounds() {
        QFETCH(bool, wholeList);
        QFETCH(int, edits);
        AppState state;
        const QList<MemberRecord> partners{member(QStringLiteral("花子"), {}, 2, 1)};
        for (qint32 i = 0; i < 10000; ++i)
            state.couples.append(testfiles::couple(i + 1, member(QStringLiteral("太郎%1").arg(i), {}, 1, 0), partners));
        state.coupleCount = qint32(state.couples.size());
        UndoHistory history(state);
        QList<QList<CoupleRecord>> after{state.couples};
        for (int edit = 0; edit < edits; ++edit) {
            for (qint32 i = 0; i < (wholeList ? state.coupleCount : 1); ++i) {
                qint32& flag = state.couples[wholeList ? i : edit].danceFlags[edit % 8];
                flag = flag == 0 ? -1 : 0;
            }
            state.markCouplesChanged(QStringLiteral("種目の切り替え"));
            after.append(state.couples);
        }
        QUndoStack* stack = history.stack(EditArea::Entry);
        const int kept = stack->count();
        if (wholeList)
            QVERIFY2(kept > 1 && kept < edits, qPrintable(QString::number(kept)));
        else
            QCOMPARE(kept, UndoHistory::kLimit);
        while (stack->canUndo())
            stack->undo();
        QVERIFY(state.couples == after[edits - kept]);
        while (stack->canRedo())
            stack->redo();
        QVERIFY(state.couples == after.last());
    }

    // The program's "description|pattern|" filters as Qt's file dialog takes them.
    void nameFilters_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("qt");
        QTest::newRow("pattern in description")
            << QStringLiteral("エントリーデータ(*.ent)|*.ent|") << QStringLiteral("エントリーデータ(*.ent)");
        QTest::newRow("with blank") << QStringLiteral("エントリーファイル (*.ent)|*.ent|")
                                    << QStringLiteral("エントリーファイル (*.ent)");
        QTest::newRow("pattern added") << QStringLiteral("Text|*.txt|All|*.*|")
                                       << QStringLiteral("Text (*.txt);;All (*.*)");
    }
    void nameFilters() {
        QFETCH(QString, bar);
        QFETCH(QString, qt);
        QCOMPARE(qt_name_filters(bar), qt);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
