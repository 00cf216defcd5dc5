#include "mainwindow.h"

#include "coupleeditor.h"
#include "couplegridview.h"
#include "datafolder.h"
#include "deletion.h"
#include "entrycheck.h"
#include "entrycommands.h"
#include "entrydialog.h"
#include "export.h"
#include "gamenames.h"
#include "gamenameseditor.h"
#include "guidewindow.h"
#include "membereditor.h"
#include "memberimport.h"
#include "memberimportdialog.h"
#include "memberlistview.h"
#include "membertextcommand.h"
#include "printcommands.h"
#include "roster.h"
#include "toggling.h"
#include "yearadvancecommand.h"

#include <QDate>
#include <QRadioButton>

// The commands of the main window's buttons, lists and menus. Each collects what the user chose and hands it
// to the core; the views follow through the state's notifier.

// ---- member view ----

void MainWindow::rememberClickedMember(QTreeWidgetItem* item) {
    m_selectedMember = m_memberList->selectedMemberCount() == 1 ? MemberListView::memberPosition(item) : -1;
}

void MainWindow::editClickedMember() {
    // A position left over from before a deletion, or one in an empty roster, starts a new member.
    ensureMemberEditor()->openMember(m_state.isMember(m_selectedMember) ? m_selectedMember : -1);
}

void MainWindow::editCurrentMember() {
    // Enter acts as a double click on the current row: that row's member, whatever else is selected.
    const qint32 position = MemberListView::memberPosition(m_memberList->currentItem());
    if (!m_state.isMember(position))
        return;
    m_selectedMember = position;
    editClickedMember();
}

void MainWindow::deleteSelectedMembers() {
    // The rows actually selected decide what is deleted: the last clicked item may have been deselected, or
    // the selection may have been changed with the keyboard since.
    delete_members(m_state, m_memberList->selectedPositions(), m_prompter);
}

// ---- couple view ----

void MainWindow::switchClickedCell() {
    if (m_coupleGrid->rows().size() <= 1)
        return;
    couple_grid_click(m_state, m_coupleGrid->rows(), m_coupleGrid->cursor(), m_currentCouple, m_currentPartner,
                      m_prompter);
}

void MainWindow::editCurrentCouple() {
    if (m_state.isCouple(m_currentCouple))
        ensureCoupleEditor()->openCouple(m_currentCouple);
}

void MainWindow::editCurrentRowCouple() {
    // Enter opens the couple of the current row, which then is the current couple as after a click on it; the
    // title row opens nothing.
    const CoupleGridRow row = m_coupleGrid->rows().value(m_coupleGrid->cursor().row);
    if (!row.isCoupleRow() || !m_state.isCouple(row.couple))
        return;
    m_currentCouple = row.couple;
    m_currentPartner = row.partner;
    editCurrentCouple();
}

void MainWindow::deleteSelectedCouples() {
    GridCursor cursor = m_coupleGrid->cursor();
    const GridCursor before = cursor;
    if (!delete_couples(m_state, m_coupleGrid->rows(), cursor, m_currentCouple, m_currentPartner, m_prompter)) {
        // Nothing was deleted; the grid is rebuilt all the same, as after every delete command, the way the
        // notifier has it rebuilt after an edit.
        refreshCoupleView();
        return;
    }
    if (cursor.row != before.row || cursor.column != before.column)
        m_coupleGrid->setCurrentCell(cursor.row, cursor.column);
}

// ---- buttons ----

void MainWindow::addRecord() {
    if (m_viewMode == ViewMode::Members) {
        ensureMemberEditor()->openMember(-1);
    } else if (m_viewMode == ViewMode::Couples) {
        if (has_leader_and_partner(m_state))
            ensureCoupleEditor()->openCouple(-1);
        else
            m_prompter.showMessage(QStringLiteral("リーダー、パートナーを1人以上作ってください。"),
                                   Prompter::Icon::Stop);
    }
}

void MainWindow::deleteRecords() {
    if (m_viewMode == ViewMode::Members && m_state.memberCount > 0)
        deleteSelectedMembers();
    else if (m_viewMode == ViewMode::Couples && m_state.coupleCount > 0)
        deleteSelectedCouples();
}

void MainWindow::exportEntry() {
    qint32 failedCouple = -1;
    // The couple to mend becomes the grid's current row: the one that breaks a rule, or, when the user chooses
    // not to export a member entered twice for one dance, the first couple involved.
    if (!check_entry(m_state, m_prompter, &failedCouple) ||
        !confirm_entry_conflicts(m_state, m_prompter, &failedCouple)) {
        m_coupleGrid->showCouple(failedCouple);
        return;
    }
    const bool fresh = !m_entryDialog;
    if (fresh)
        m_entryDialog = new EntryDialog(m_state, m_prompter, this);
    // Once per export, before the dialog shows an empty or damaged list: what is wrong and where the competition
    // names come from, with the names editor at hand.
    if (fresh) {
        const QString notice = game_names_notice(read_game_names_file(m_state.gameNamesPath()), m_state.appFolder);
        if (!notice.isEmpty() &&
            m_prompter.chooseAction(notice, {QStringLiteral("試合名の編集を開く"), QStringLiteral("閉じる")}, 1,
                                    Prompter::Icon::Information) == 0)
            editGameNames();
    }
    m_entryDialog->openExport();
}

// ---- menus ----

void MainWindow::showCouples() {
    m_coupleViewOption->setChecked(true);
    switchView();
}

void MainWindow::newEntryFile() {
    if (command_new_entry(m_state, m_prompter))
        showCouples();
}

void MainWindow::openEntryFile() {
    if (command_open_entry(m_state, m_prompter))
        showCouples();
}

void MainWindow::saveEntryFile() {
    command_save_entry(m_state, m_prompter);
}

void MainWindow::saveEntryFileAs() {
    command_save_entry_as(m_state, m_prompter);
}

void MainWindow::saveMemberFile() {
    command_save_members(m_state, m_prompter);
}

QList<PrintDocument> MainWindow::documentsToPrint() const {
    const QDate today = QDate::currentDate();
    if (m_viewMode == ViewMode::Couples)
        return {entry_print_document(m_state, m_state.entryFileName, today)};
    return {roster_print_document(m_state, collect_display_order(*m_memberList, m_state.memberCount), today)};
}

QString MainWindow::printTitle() const {
    if (m_viewMode == ViewMode::Couples)
        return QStringLiteral("エントリー一覧 ") + m_state.entryFileName;
    return QStringLiteral("メンバー一覧");
}

void MainWindow::previewPrint() {
    if (!m_print)
        m_print = std::make_unique<PrintCommands>(m_state, m_prompter);
    m_print->preview(documentsToPrint(), printTitle(), this);
}

void MainWindow::printDocuments() {
    if (!m_print)
        m_print = std::make_unique<PrintCommands>(m_state, m_prompter);
    m_print->print(documentsToPrint(), printTitle(), this);
}

void MainWindow::exportPdf() {
    const QString name = pdf_file_name(m_viewMode == ViewMode::Couples ? m_state.entryFileName : QString());
    run_pdf_export(m_state, documentsToPrint(), name, printTitle(), m_prompter);
}

void MainWindow::editUniversityInfo() {
    EntryDialog::openUniversityInfo(m_state, m_prompter, this);
}

void MainWindow::editGameNames() {
    GameNamesEditor::edit_game_names(m_state, m_prompter, this);
    if (m_entryDialog)
        m_entryDialog->reloadGameNames();
}

void MainWindow::advanceYears() {
    run_year_advance(m_state, m_prompter);
}

void MainWindow::exportMemberText() {
    run_member_text_export(m_state, m_prompter, *m_memberList);
}

void MainWindow::importMembers() {
    const QString path =
        m_prompter.chooseFile({.open = true,
                               .filter = QStringLiteral("CSVファイル(*.csv)|*.csv|テキストファイル(*.txt)|*.txt|"),
                               .title = QStringLiteral("メンバーCSV取り込み")});
    if (path.isEmpty())
        return;
    QList<ImportCandidate> candidates;
    QString error;
    if (!read_member_csv(path, m_state, &candidates, &error)) {
        m_prompter.showMessage(error, Prompter::Icon::Exclamation);
        return;
    }
    // Modal: the roster cannot change between the check of the rows and their import.
    MemberImportDialog dialog(m_state, std::move(candidates), this);
    dialog.exec();
}

void MainWindow::showGuide() {
    // One guide window at a time: F1 again brings the open one to the front.
    if (m_guideWindow) {
        m_guideWindow->raise();
        m_guideWindow->activateWindow();
        return;
    }
    m_guideWindow = open_guide(this, m_prompter, guide_places());
}

void MainWindow::openDataFolder() {
    open_data_folder(m_state.appFolder, m_prompter);
}

void MainWindow::showAbout() {
    m_prompter.showMessage(about_text(m_state.appFolder), Prompter::Icon::Information);
}

// ---- dialogs ----

MemberEditor* MainWindow::ensureMemberEditor() {
    if (!m_memberEditor)
        m_memberEditor = new MemberEditor(m_state, m_prompter, this);
    return m_memberEditor;
}

CoupleEditor* MainWindow::ensureCoupleEditor() {
    if (!m_coupleEditor)
        m_coupleEditor = new CoupleEditor(m_state, m_prompter, this);
    return m_coupleEditor;
}
