#pragma once

#include "printout.h"
#include "prompter.h"
#include "records.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class CoupleEditor;
class CoupleGridView;
class EntryDialog;
class GuideWindow;
class MemberEditor;
class MemberListView;
class PrintCommands;
class QAction;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidgetItem;
class UndoHistory;

// frm_main: the member view and the couple view of the open entry, the button row and the menus. 元に戻す and
// やり直し undo and redo the edits of the view on screen; Alt alone and F10 put the keyboard in the menu bar.
// Every command works on the one AppState; the views follow the state's notifier. The dialogs it opens are not
// modal (except the university information) and exist once each.
//
// Controls, by objectName (what tests and the design call them) and the member that carries each:
//
// | objectName               | member                 | what it is                                  |
// |--------------------------|------------------------|---------------------------------------------|
// | frm_main                 | this                   | the window                                  |
// | client_area              | m_client               | the area below the menu bar                 |
// | lvw_member               | m_memberList           | the member list                             |
// | mfg_couple               | m_coupleGrid           | the couple grid                             |
// | cmd_add                  | m_addButton            | 追加                                        |
// | cmd_del                  | m_deleteButton         | 削除                                        |
// | optMember                | m_memberViewOption     | メンバー表示                                |
// | optCouple                | m_coupleViewOption     | カップル表示                                |
// | cmdEntry                 | m_exportButton         | エントリーファイル出力                      |
// | mnu_file                 | m_fileMenu             | ファイル                                    |
// | mnu_new_entry            | m_newEntryAction       | エントリーファイル新規作成                  |
// | mnu_open_ently           | m_openEntryAction      | エントリーファイルを開く                    |
// | mnu_save_entry           | m_saveEntryAction      | エントリーファイルの上書き保存              |
// | mnu_save_change_filename | m_saveEntryAsAction    | エントリーファイルを名前を付けて保存        |
// | mnu__save_member         | m_saveMembersAction    | メンバーファイル保存                        |
// | mnu_print_preview        | m_printPreviewAction   | 印刷プレビュー                              |
// | mnu_print                | m_printAction          | 印刷                                        |
// | mnu_pdf                  | m_pdfAction            | PDF出力                                     |
// | mnu_end                  | m_quitAction           | 終了                                        |
// | mnu_tmp, mnu_tmp2, mnu_tmp1 | (separators)        | the lines between the file menu's groups    |
// | mnu_print_separator      | (separator)            | the line between the print entries and 終了  |
// | mnu_edit                 | m_editMenu             | 編集                                        |
// | mnu_undo                 | m_undoAction           | 元に戻す (and the step it undoes)           |
// | mnu_redo                 | m_redoAction           | やり直し (and the step it redoes)           |
// | mnu_option               | m_optionMenu           | オプション                                  |
// | mnu_Uni                  | m_universityAction     | 大学情報変更                                |
// | mnu_game_names           | (none)                 | 試合名の編集 (Gamename.txt)                 |
// | mnu_up_Grade             | m_advanceYearsAction   | すべてのメンバーの学年を１つあげる          |
// | mnu_member_out           | m_memberTextAction     | メンバーテキスト出力                        |
// | mnu_member_import        | m_memberImportAction   | メンバーCSV取り込み                         |
// | mnu_help                 | m_helpMenu             | ヘルプ                                      |
// | mnu_guide                | m_guideAction          | 使い方 (F1)                                 |
// | mnu_open_data_folder     | m_openDataFolderAction | データフォルダを開く                        |
// | mnu_about                | m_aboutAction          | バージョン情報                              |
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class ViewMode { None, Members, Couples };

    MainWindow(AppState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Lays out the window, sets up the member list and the couple grid, shows the window in the member view.
    void openWindow();

    // Shows the view of the selected option button (the couple view only while an entry is open).
    void switchView();
    // Refills the member list from the roster and shows the caption of the view on screen.
    void refillMemberList();
    // Rebuilds the couple grid from the couples of the open entry.
    void refillCoupleGrid();
    // "カップル数 : N   ファイル名 : NAME" in the caption.
    void showEntryCaption();
    // Fits the list or the grid to the client area.
    void fitViewsToWindow();

    ViewMode viewMode() const { return m_viewMode; }
    qint32 selectedMember() const { return m_selectedMember; }
    qint32 currentCouple() const { return m_currentCouple; }
    qint32 currentPartner() const { return m_currentPartner; }

    MemberListView* memberList() const { return m_memberList; }
    CoupleGridView* coupleGrid() const { return m_coupleGrid; }
    // The dialogs, while they exist (null before first use or after their close box destroyed them).
    MemberEditor* memberEditor() const;
    CoupleEditor* coupleEditor() const;
    EntryDialog* entryDialog() const;
    UndoHistory* undoHistory() const { return m_history; }

signals:
    // The window was closed and the program is to end.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    // The standard keys of the file menu's entries (Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+P, Ctrl+Q) and of
    // undo (Ctrl+Z) and redo (Ctrl+Y, Ctrl+Shift+Z).
    void addShortcuts();
    // Ctrl+S saves what the view shows: メンバーファイル保存 in the member view, the entry in the couple view. The
    // menu entry that has the key shows it.
    void giveSaveKeyToView();
    void layoutButtonRow();
    void enableEntryCommands();
    // The caption of the view that is shown.
    void showViewCaption();
    // The grid and the caption as the couples are now: what every change of the couples calls through the notifier.
    void refreshCoupleView();
    void showCouples();
    // Widens the window (never narrows it, and only within the screen) so that every grid column is in view.
    void widenToShowTheGrid();
    // The window's size and place and the member list's and the grid's column widths, kept between starts
    // (usersettings.h).
    void restoreUserSettings();
    void saveUserSettings() const;

    void addRecord();
    void deleteRecords();
    void deleteSelectedMembers();
    void deleteSelectedCouples();
    void exportEntry();
    void rememberClickedMember(QTreeWidgetItem* item);
    void editClickedMember();
    void editCurrentMember();
    void switchClickedCell();
    void editCurrentCouple();
    void editCurrentRowCouple();
    void newEntryFile();
    void openEntryFile();
    void saveEntryFile();
    void saveEntryFileAs();
    void saveMemberFile();
    // The print entries print what the view shows: the roster in the member view (in the list's order), the open
    // entry in the couple view.
    QList<PrintDocument> documentsToPrint() const;
    QString printTitle() const;
    void previewPrint();
    void printDocuments();
    void exportPdf();
    void editUniversityInfo();
    // The names editor; the export dialog, when open, offers the names written.
    void editGameNames();
    void advanceYears();
    void exportMemberText();
    void importMembers();
    // The user guide in its own window (guidewindow.h).
    void showGuide();
    void openDataFolder();
    void showAbout();

    MemberEditor* ensureMemberEditor();
    CoupleEditor* ensureCoupleEditor();

    AppState& m_state;
    Prompter& m_prompter;
    UndoHistory* m_history = nullptr;

    QWidget* m_client = nullptr;
    MemberListView* m_memberList = nullptr;
    CoupleGridView* m_coupleGrid = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QRadioButton* m_memberViewOption = nullptr;
    QRadioButton* m_coupleViewOption = nullptr;
    QPushButton* m_exportButton = nullptr;

    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_optionMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_newEntryAction = nullptr;
    QAction* m_openEntryAction = nullptr;
    QAction* m_saveEntryAction = nullptr;
    QAction* m_saveEntryAsAction = nullptr;
    QAction* m_saveMembersAction = nullptr;
    QAction* m_printPreviewAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_pdfAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_universityAction = nullptr;
    QAction* m_advanceYearsAction = nullptr;
    QAction* m_memberTextAction = nullptr;
    QAction* m_memberImportAction = nullptr;
    QAction* m_guideAction = nullptr;
    QAction* m_openDataFolderAction = nullptr;
    QAction* m_aboutAction = nullptr;

    QPointer<MemberEditor> m_memberEditor;
    QPointer<CoupleEditor> m_coupleEditor;
    QPointer<EntryDialog> m_entryDialog;
    QPointer<GuideWindow> m_guideWindow;
    std::unique_ptr<PrintCommands> m_print;

    ViewMode m_viewMode = ViewMode::None;
    qint32 m_selectedMember = 0;
    qint32 m_currentCouple = 0;
    qint32 m_currentPartner = 0;
    bool m_closing = false;
};
