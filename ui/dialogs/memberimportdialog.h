#pragma once

#include "memberimport.h"
#include "records.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QRadioButton;
class QTableWidget;

// frm_member_import, "メンバー取り込み": the rows of a member table as they would be imported, before anything
// joins the roster. Modal. Its 取り込み hands the candidates and the role chosen for rows without one to
// import_members, which appends the importable rows and tells the views; キャンセル changes nothing.
//
// | objectName         | member              | what it is                                            |
// |--------------------|---------------------|-------------------------------------------------------|
// | frm_member_import  | this                | the dialog                                            |
// | lbl_import_note    | (label)             | why no row can be imported, when no header was found  |
// | grd_import         | m_table             | every row: 名前 かな 回生 学部 出身高校 役割 状態     |
// | fra_import_role    | (group box)         | the role of rows without one                          |
// | opt_import_leader  | m_leaderOption      | Leader (checked at start)                             |
// | opt_import_partner | m_partnerOption     | Partner                                               |
// | cmd_import         | m_importButton      | 取り込み（N人）, the default button; disabled for 0   |
// | cmd_import_cancel  | m_cancelButton      | キャンセル (also Escape and the close box)             |
class MemberImportDialog : public QDialog {
    Q_OBJECT
public:
    // `candidates` must have been checked against the roster of `state` as it stands.
    MemberImportDialog(AppState& state, QList<ImportCandidate> candidates, QWidget* parent = nullptr);

    // The role rows without one take: 0 leader, 1 partner.
    quint8 defaultRole() const;

private:
    void fillTable();
    // Shows the chosen role in the role cells of the rows without one.
    void showDefaultRole();
    void importRows();

    AppState& m_state;
    const QList<ImportCandidate> m_candidates;
    QList<int> m_rowsWithoutRole; // table rows whose role cell follows the option buttons

    QTableWidget* m_table = nullptr;
    QRadioButton* m_leaderOption = nullptr;
    QRadioButton* m_partnerOption = nullptr;
    QPushButton* m_importButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
