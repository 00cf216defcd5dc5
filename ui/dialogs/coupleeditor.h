#pragma once

#include "coupleedit.h"
#include "prompter.h"
#include "records.h"

#include <QDialog>
#include <QList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// frm_couple, "カップル作成": forms a new couple or changes one. Not modal; one instance that keeps the number
// box, the filters, the lists and the labels while hidden. Its close box destroys it (the owner holds it
// through a QPointer and creates it afresh). Its 決定 hands the edit to store_couple. While it is shown it
// follows the state: the lists are refilled when the roster changes, and it closes without storing when the
// couple it edits is deleted or replaced.
//
// | objectName             | member             | what it is                                         |
// |------------------------|--------------------|----------------------------------------------------|
// | frm_couple             | this               | the dialog                                         |
// | Label1                 | m_numberLabel      | 背番号                                             |
// | txt_pnum               | m_backNumberEdit   | the back number                                    |
// | Label4                 | m_hintLabel        | the Ctrl+click hint                                |
// | Frame1                 | m_leaderFrame      | リーダー (frame of the leader list and filters)     |
// | lvw_Leader             | m_leaderList       | leader candidates                                  |
// | opt_L_Filter_0 .. _4   | m_leaderFilters    | 全, １回 .. ４回                                   |
// | Frame2                 | m_partnerFrame     | パートナー (frame of the partner list and filters)  |
// | lvw_Partner            | m_partnerList      | partner candidates (Ctrl+click for several)        |
// | opt_P_Filter_0 .. _4   | m_partnerFilters   | 全, １回 .. ４回                                   |
// | Label2                 | m_leaderHeading    | リーダー                                           |
// | lbl_Leader             | m_leaderName       | the chosen leader's name                           |
// | Label3                 | m_partnerHeading   | パートナー                                         |
// | lbl_partner_0, _1, ... | m_partnerNames     | the chosen partners' names, 0 designed, the others made at run time |
// | cmd_OK                 | m_okButton         | 決定 (the default button)                          |
// | cmd_Cancel             | m_cancelButton     | キャンセル                                         |
class CoupleEditor : public QDialog {
    Q_OBJECT
public:
    CoupleEditor(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // -1 for a new couple, otherwise a position in `couples` (0 .. coupleCount - 1); any other position
    // opens nothing.
    void openCouple(qint32 position);

    // What the editor holds at the moment: the couple being formed and its position (-1 for a new one).
    const CoupleRecord& workingCouple() const { return m_edit.working; }
    qint32 editPosition() const { return m_edit.position; }

public slots:
    // Escape hides the editor like キャンセル; it keeps its contents.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QButtonGroup* makeFilterOptions(QGroupBox* frame, const char* prefix, int left, const int (&tops)[5]);
    QTreeWidget* makeMemberList(QGroupBox* frame, const QString& objectName, int left, int width);
    void fillMemberList(QTreeWidget* list, int yearFilter);
    void refillKeepingSelection(QTreeWidget* list, int yearFilter);
    void showCoupleNames(bool keepNumber);
    void selectFilter(QButtonGroup* group, int index);
    bool rowMember(const QTreeWidget* list, const QTreeWidgetItem* item, MemberRecord& member) const;

    void filterLeaders(int year);
    void filterPartners(int year);
    void chooseLeader();
    void choosePartners();
    void storeCouple();
    void followRosterChange();
    void followCouplesChange();

    AppState& m_state;
    Prompter& m_prompter;
    CoupleEdit m_edit;
    int m_leaderFilter = 0; // filter memory: 0 all years, 1..4 that year
    int m_partnerFilter = 0;
    bool m_updatingLists = false; // selection changes made by the program are no user choice

    QLabel* m_numberLabel = nullptr;
    QLineEdit* m_backNumberEdit = nullptr;
    QLabel* m_hintLabel = nullptr;
    QGroupBox* m_leaderFrame = nullptr;
    QTreeWidget* m_leaderList = nullptr;
    QButtonGroup* m_leaderFilters = nullptr;
    QGroupBox* m_partnerFrame = nullptr;
    QTreeWidget* m_partnerList = nullptr;
    QButtonGroup* m_partnerFilters = nullptr;
    QLabel* m_leaderHeading = nullptr;
    QLabel* m_leaderName = nullptr;
    QLabel* m_partnerHeading = nullptr;
    QList<QLabel*> m_partnerNames; // element 0 is the designed one; the others are copies made at run time
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
