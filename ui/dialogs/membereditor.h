#pragma once

#include "prompter.h"
#include "records.h"
#include "roster.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// frm_member, "メンバー作成": creates a new member or changes one. Not modal; one instance, hidden by its
// buttons. Its 決定 hands the boxes to store_member, which stores and tells the views.
//
// | objectName     | member             | what it is                   |
// |----------------|--------------------|------------------------------|
// | frm_member     | this               | the dialog                   |
// | txt_name       | m_nameEdit         | 名前                         |
// | txt_kana       | m_kanaEdit         | かな                         |
// | txt_highschool | m_highschoolEdit   | 出身高校                     |
// | txt_department | m_departmentEdit   | 学部                         |
// | cmb_kaisei     | m_yearBox          | 回生 (1..4, may be typed)    |
// | opt_leader     | m_leaderOption     | Leader                       |
// | opt_partner    | m_partnerOption    | Partner                      |
// | cmd_ok         | m_okButton         | 決定 (the default button)    |
// | cmd_cancel     | m_cancelButton     | キャンセル                   |
// | lbl_name, lbl_kana, lbl_highschool, lbl_department, lbl_kaisei | (labels) | the boxes' captions |
class MemberEditor : public QDialog {
    Q_OBJECT
public:
    MemberEditor(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // -1 for a new member, otherwise the position in `members`; a position that names no member opens nothing.
    void openMember(qint32 position);

    // The position being edited: -1 for a new member.
    qint32 editPosition() const { return m_edit.position; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMember(const MemberRecord& member);
    void letTabReachCheckedRole();
    MemberInput typedInput() const;
    void storeMember();

    AppState& m_state;
    Prompter& m_prompter;
    MemberEdit m_edit;

    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_kanaEdit = nullptr;
    QLineEdit* m_highschoolEdit = nullptr;
    QLineEdit* m_departmentEdit = nullptr;
    QComboBox* m_yearBox = nullptr;
    QRadioButton* m_leaderOption = nullptr;
    QRadioButton* m_partnerOption = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
