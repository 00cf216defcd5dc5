#pragma once

#include "prompter.h"
#include "records.h"

#include <QDialog>
#include <QList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

// frm_couple, "カップル作成": forms a new couple or changes one. Not modal; one instance that keeps the
// number box, the filters, the lists and the labels while hidden. Its close box destroys it (the owner
// holds it through a QPointer and creates it afresh). Emits coupleStored() after it stored into `couples`.
class CoupleEditor : public QDialog {
    Q_OBJECT
public:
    CoupleEditor(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // -1 for a new couple, otherwise a position in `couples` (0 .. coupleCount - 1).
    void start_make_couple(qint32 position);

    // The main window calls this after it replaced or shortened `couples` or changed `members`
    // while the editor may be open, so the editor never stores into a position that is gone.
    void dataReplaced();

    // What the editor holds at the moment: the couple being formed and its position (-1 for a new one).
    const CoupleRecord& workingCouple() const { return m_working; }
    qint32 editPosition() const { return m_editPosition; }

public slots:
    // Escape hides the editor like キャンセル; it keeps its contents.
    void reject() override;

signals:
    void coupleStored();

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void cmd_OK_Click();
    void cmd_Cancel_Click();
    void opt_L_Filter_Click(int index);
    void opt_P_Filter_Click(int index);
    void lvw_Leader_Click();
    void lvw_Partner_Click();

private:
    QTreeWidget* makeMemberList(QGroupBox* frame, const QString& objectName, int left, int width);
    void make_member_columns(QTreeWidget* list);
    void fill_member_list(QTreeWidget* list, int yearFilter);
    QList<qint32> collect_member_indexes(quint8 role, int yearFilter) const;
    void show_couple_names(bool keepNumber);
    void selectFilter(QButtonGroup* group, int index);

    bool rowMember(const QTreeWidget* list, int row, MemberRecord& member) const;
    bool listIsCurrent(const QTreeWidget* list, int yearFilter) const;
    void refreshList(QTreeWidget* list, int yearFilter);
    void refreshStaleLists();
    bool editedCoupleStillThere() const;

    AppState& m_state;
    Prompter& m_prompter;
    CoupleRecord m_working;
    CoupleRecord m_opened; // the couple as it was when the edit started
    qint32 m_editPosition = -1;
    int m_leaderFilter = 0; // filter memory: 0 all years, 1..4 that year
    int m_partnerFilter = 0;
    bool m_updatingLists = false; // selection changes made by the program are no user choice

    QLabel* Label1 = nullptr;
    QLineEdit* txt_pnum = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTreeWidget* lvw_Leader = nullptr;
    QButtonGroup* opt_L_Filter = nullptr;
    QGroupBox* Frame2 = nullptr;
    QTreeWidget* lvw_Partner = nullptr;
    QButtonGroup* opt_P_Filter = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lbl_Leader = nullptr;
    QLabel* Label3 = nullptr;
    QList<QLabel*> lbl_partner; // element 0 is the designed one; the others are copies made at run time
    QPushButton* cmd_OK = nullptr;
    QPushButton* cmd_Cancel = nullptr;
};
