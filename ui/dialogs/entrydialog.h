#pragma once

#include "prompter.h"
#include "records.h"

#include <QDialog>

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
};
