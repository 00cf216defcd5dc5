#pragma once

#include "couplegrid.h"
#include "prompter.h"
#include "records.h"

#include <QMainWindow>
#include <QPointer>

class CoupleEditor;
class CoupleGridView;
class EntryDialog;
class MemberEditor;
class MemberListView;
class QAction;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidgetItem;

// True when the roster holds at least one leader and at least one partner.
bool has_leader_and_partner(const AppState& state);

// frm_main: the member view and the couple view of the open entry, the button row and the two menus.
// Every command works on the one AppState; the dialogs it opens are not modal (except the university
// information) and exist once each.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppState& state, Prompter& prompter, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Lays out the window, sets up the member list and the couple grid, shows the window in the member view.
    void start_main();

    // Shows the view of the selected option button (the couple view only while an entry is open).
    void switch_view();
    // Refills the member list from the roster and shows the member count in the caption.
    void expression_member_in_lvw();
    // Rebuilds the couple grid from the couples of the open entry.
    void fill_couple_grid();
    // "カップル数 : N   ファイル名 : NAME" in the caption.
    void show_entry_caption();
    // Fits the list or the grid to the client area.
    void resize_main_view();

    // The delete command of the member view: asks, then removes the selected members.
    void delete_members();

    // 0 before the first view switch, 1 member view, 2 couple view.
    int viewMode() const { return m_viewMode; }
    qint32 selectedMember() const { return m_selectedMember; }
    qint32 currentCouple() const { return m_currentCouple; }
    qint32 currentPartner() const { return m_currentPartner; }

    MemberListView* memberList() const { return m_memberList; }
    CoupleGridView* coupleGrid() const { return m_coupleGrid; }
    // The dialogs, while they exist (null before first use or after their close box destroyed them).
    MemberEditor* memberEditor() const;
    CoupleEditor* coupleEditor() const;
    EntryDialog* entryDialog() const;

signals:
    // The window was closed and the program is to end.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layout_main_controls();
    void create_menus();
    void enable_entry_commands();
    // The caption of the view that is shown.
    void show_view_caption();
    // Tells an open couple editor that members or couples were changed or replaced under it.
    void notify_data_replaced();

    void cmd_add_Click();
    void cmd_del_Click();
    void cmdEntry_Click();
    void lvw_member_ItemClick(QTreeWidgetItem* item);
    void lvw_member_DblClick();
    void mfg_couple_Click();
    void mfg_couple_DblClick();
    void mnu_new_entry_Click();
    void mnu_open_ently_Click();
    void mnu_save_entry_Click();
    void mnu_save_change_filename_Click();
    void mnu__save_member_Click();
    void mnu_Uni_Click();
    void mnu_up_Grade_Click();
    void mnu_member_out_Click();
    // After a new or opened entry: couples were replaced; show the couple view.
    void show_opened_entry();

    MemberEditor* ensureMemberEditor();
    CoupleEditor* ensureCoupleEditor();

    AppState& m_state;
    Prompter& m_prompter;

    QWidget* m_client = nullptr;
    MemberListView* m_memberList = nullptr;
    CoupleGridView* m_coupleGrid = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdDel = nullptr;
    QRadioButton* m_optMember = nullptr;
    QRadioButton* m_optCouple = nullptr;
    QPushButton* m_cmdEntry = nullptr;

    QMenu* m_mnuFile = nullptr;
    QMenu* m_mnuOption = nullptr;
    QAction* m_mnuNewEntry = nullptr;
    QAction* m_mnuOpenEntry = nullptr;
    QAction* m_mnuSaveEntry = nullptr;
    QAction* m_mnuSaveChangeFilename = nullptr;
    QAction* m_mnuSaveMember = nullptr;
    QAction* m_mnuEnd = nullptr;
    QAction* m_mnuUni = nullptr;
    QAction* m_mnuUpGrade = nullptr;
    QAction* m_mnuMemberOut = nullptr;

    QPointer<MemberEditor> m_memberEditor;
    QPointer<CoupleEditor> m_coupleEditor;
    QPointer<EntryDialog> m_entryDialog;

    int m_viewMode = 0;
    qint32 m_selectedMember = 0;
    qint32 m_currentCouple = 0;
    qint32 m_currentPartner = 0;
    bool m_closing = false;
};
