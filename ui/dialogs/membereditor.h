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

signals:
    void membersStored();

    // (private members and slots are up to the dialog's implementation)
};
