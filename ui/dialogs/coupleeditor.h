#pragma once

#include "prompter.h"
#include "records.h"

#include <QDialog>

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

signals:
    void coupleStored();
};
