#pragma once

#include "prompter.h"
#include "records.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// frm_member, "メンバー作成": creates a new member or changes one. Not modal; one instance, hidden by its
// buttons. Emits membersStored() after it stored into `members` (the main window then refills its list).
class MemberEditor : public QDialog {
    Q_OBJECT
public:
    MemberEditor(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // -1 for a new member, otherwise the position in `members`.
    void start_make_memberdat(qint32 position);

    // The position being edited: -1 for a new member.
    qint32 editPosition() const { return m_editPosition; }

signals:
    void membersStored();

private slots:
    void cmd_ok_Click();
    void cmd_cancel_Click();

private:
    void show_member();
    bool check_member_input();
    bool check_encodable();
    void read_member();
    bool edited_member_still_there() const;

    AppState& m_state;
    Prompter& m_prompter;
    MemberRecord m_working;
    MemberRecord m_opened; // the member as it was when the edit started
    qint32 m_editPosition = -1;

    QLineEdit* txt_name = nullptr;
    QLineEdit* txt_kana = nullptr;
    QLineEdit* txt_highschool = nullptr;
    QLineEdit* txt_department = nullptr;
    QComboBox* cmb_kaisei = nullptr;
    QRadioButton* opt_leader = nullptr;
    QRadioButton* opt_partner = nullptr;
    QPushButton* cmd_ok = nullptr;
    QPushButton* cmd_cancel = nullptr;
};
