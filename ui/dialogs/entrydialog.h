#pragma once

#include "prompter.h"
#include "records.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// frm_entry, "エントリー作成": the university information (modal, university mode) and the export of the
// entry (not modal, export mode). Destroyed when it closes (WA_DeleteOnClose). Its 決定 hands what the boxes
// hold to the core: the checks, storing the information and, in export mode, the export.
//
// | objectName        | member               | what it is                                         |
// |-------------------|----------------------|----------------------------------------------------|
// | frm_entry         | this                 | the dialog                                         |
// | txt_University    | m_universityEdit     | 大学名                                             |
// | txt_PartnerSchool | m_partnerSchoolEdit  | 共同加盟校                                         |
// | txt_Head          | m_headEdit           | 部長                                               |
// | txt_Manager       | m_managerEdit        | マネージャー                                       |
// | txt_Leaguemember  | m_leagueMemberEdit   | 連盟委員                                           |
// | cmb_Gname         | m_gameNameBox        | 出場試合名 (the names of Gamename.txt)             |
// | txt_Comment       | m_commentEdit        | コメント                                           |
// | lbl_Gname         | m_gameNameLabel      | 出場試合名 (hidden in university mode)             |
// | lbl_Comment       | m_commentLabel       | コメント (hidden in university mode)               |
// | cmd_OK            | m_okButton           | 決定 (the default button)                          |
// | cmd_Cancel        | m_cancelButton       | キャンセル                                         |
// | lbl_University, lbl_PartnerSchool, lbl_Head, lbl_Manager, lbl_Leaguemember | (labels) | the boxes' captions |
class EntryDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { University, Export };

    EntryDialog(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // University mode, modal: returns when the dialog has been closed.
    static void openUniversityInfo(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // Export mode, not modal: shows the dialog and returns at once. Calling it again while the dialog
    // is open re-initialises it from universityInfo without reloading the competition list.
    void openExport();

    Mode mode() const;
    // How many competition names the list offers (those of Gamename.txt, read when the dialog was made or since).
    int gameNameCount() const;
    // Reads Gamename.txt again (after the names editor), keeping the chosen name where the list still holds it.
    void reloadGameNames();

signals:
    // Emitted after a completed export (the entry then counts as saved).
    void entryExported();

private:
    void loadGameNames();
    void showUniversityInfo(const UniversityInfo& info);
    UniversityInfo typedInfo() const;
    void arrangeForUniversity();
    void arrangeForExport();
    void setExportControlsVisible(bool visible);
    void confirm();

    AppState& m_state;
    Prompter& m_prompter;
    Mode m_mode = Mode::University;

    QLineEdit* m_universityEdit = nullptr;
    QLineEdit* m_partnerSchoolEdit = nullptr;
    QLineEdit* m_headEdit = nullptr;
    QLineEdit* m_managerEdit = nullptr;
    QLineEdit* m_leagueMemberEdit = nullptr;
    QComboBox* m_gameNameBox = nullptr;
    QPlainTextEdit* m_commentEdit = nullptr;
    QLabel* m_gameNameLabel = nullptr;
    QLabel* m_commentLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
