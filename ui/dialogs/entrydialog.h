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
// entry (not modal, export mode). Destroyed when it closes (WA_DeleteOnClose).
class EntryDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { University, Export };

    EntryDialog(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // University mode, modal: returns when the dialog has been closed.
    static void start_uniinf(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    // Export mode, not modal: shows the dialog and returns at once. Calling it again while the dialog
    // is open re-initialises it from universityInfo without reloading the competition list.
    void start_entry();

    Mode mode() const;

signals:
    // Emitted after a completed export (the entry then counts as saved).
    void entryExported();

private slots:
    void cmd_OK_Click();
    void cmd_Cancel_Click();

private:
    void load_game_names();
    void show_university_info();
    void read_university_info();
    bool check_entry_input();
    bool check_encodable();
    void arrange_for_university();
    void arrange_for_export();
    void setExportControlsVisible(bool visible);
    bool export_entry();

    AppState& m_state;
    Prompter& m_prompter;
    UniversityInfo m_working;
    Mode m_mode = Mode::University;

    QLineEdit* txt_University = nullptr;
    QLineEdit* txt_PartnerSchool = nullptr;
    QLineEdit* txt_Head = nullptr;
    QLineEdit* txt_Manager = nullptr;
    QLineEdit* txt_Leaguemember = nullptr;
    QComboBox* cmb_Gname = nullptr;
    QPlainTextEdit* txt_Comment = nullptr;
    QLabel* lbl_Gname = nullptr;
    QLabel* lbl_Comment = nullptr;
    QPushButton* cmd_OK = nullptr;
    QPushButton* cmd_Cancel = nullptr;
};
