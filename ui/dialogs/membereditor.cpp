#include "membereditor.h"

#include "dialogsupport.h"
#include "japanesefont.h"
#include "vocabulary.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using dialogsupport::place;
using dialogsupport::place_growing;

namespace {

QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& text, QWidget* control) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    dialogsupport::label_for(label, control);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const QString& objectName) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    dialogsupport::select_all_on_double_click(box);
    return box;
}

} // namespace

MemberEditor::MemberEditor(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_state(state), m_prompter(prompter), m_edit{-1, new_member_record()} {
    setObjectName(QStringLiteral("frm_member"));
    setWindowTitle(QStringLiteral("メンバー作成"));
    setFont(ms_p_gothic(9));
    dialogsupport::make_fixed_window(this, 8220, 870);

    // Created in tab order, so focus moves through the boxes as designed.
    m_nameEdit = makeBox(this, QStringLiteral("txt_name"));
    place(m_nameEdit, 450, 105, 1905, 300);
    m_kanaEdit = makeBox(this, QStringLiteral("txt_kana"));
    place(m_kanaEdit, 450, 465, 1905, 300);
    m_highschoolEdit = makeBox(this, QStringLiteral("txt_highschool"));
    place(m_highschoolEdit, 3255, 105, 1905, 300);
    m_departmentEdit = makeBox(this, QStringLiteral("txt_department"));
    place(m_departmentEdit, 3255, 480, 1905, 300);

    m_yearBox = new QComboBox(this);
    m_yearBox->setObjectName(QStringLiteral("cmb_kaisei"));
    // Editable, so a year can also be typed; the checks of 決定 apply to whatever text it holds.
    m_yearBox->setEditable(true);
    m_yearBox->setInsertPolicy(QComboBox::NoInsert);
    m_yearBox->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    // The line typed into is a widget of its own, which a screen reader names apart from the box.
    m_yearBox->lineEdit()->setAccessibleName(QStringLiteral("回生"));
    place(m_yearBox, 6180, 90, 765, 300);

    m_leaderOption = new QRadioButton(QStringLiteral("Leader"), this);
    m_leaderOption->setObjectName(QStringLiteral("opt_leader"));
    place_growing(m_leaderOption, 5280, 540, 885, 180);
    m_partnerOption = new QRadioButton(QStringLiteral("Partner"), this);
    m_partnerOption->setObjectName(QStringLiteral("opt_partner"));
    place_growing(m_partnerOption, 6180, 525, 885, 195);
    // Tab reaches the role that is chosen and never the other one, as option buttons in a group do on Windows;
    // the arrow keys then switch the role. (Qt would let Tab reach the option that last had the focus.)
    connect(m_leaderOption, &QRadioButton::toggled, this, &MemberEditor::letTabReachCheckedRole);
    m_leaderOption->setChecked(true);
    m_leaderOption->installEventFilter(this);
    m_partnerOption->installEventFilter(this);
    m_leaderOption->setToolTip(role_meaning(0));
    m_partnerOption->setToolTip(role_meaning(1));

    m_okButton = new QPushButton(QStringLiteral("決定"), this);
    m_okButton->setObjectName(QStringLiteral("cmd_ok"));
    m_okButton->setDefault(true);
    place(m_okButton, 7185, 30, 1005, 390);
    m_cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmd_cancel"));
    place(m_cancelButton, 7185, 435, 1005, 390);

    place_growing(makeLabel(this, QStringLiteral("lbl_name"), QStringLiteral("名前"), m_nameEdit), 15, 165, 360, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_highschool"), QStringLiteral("出身高校"), m_highschoolEdit), 2475,
                  180, 720, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_department"), QStringLiteral("学部"), m_departmentEdit), 2790,
                  540, 360, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_kana"), QStringLiteral("かな"), m_kanaEdit), 15, 510, 345, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_kaisei"), QStringLiteral("回生"), m_yearBox), 5595, 150, 360,
                  180);

    setTabOrder(m_nameEdit, m_kanaEdit);
    setTabOrder(m_kanaEdit, m_highschoolEdit);
    setTabOrder(m_highschoolEdit, m_departmentEdit);
    setTabOrder(m_departmentEdit, m_yearBox);
    setTabOrder(m_yearBox, m_leaderOption);
    setTabOrder(m_leaderOption, m_partnerOption);
    setTabOrder(m_partnerOption, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, &MemberEditor::storeMember);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::hide);
}

void MemberEditor::openMember(qint32 position) {
    const std::optional<MemberEdit> edit = begin_member_edit(m_state, position);
    if (!edit)
        return;
    m_edit = *edit;
    showMember(m_edit.opened);

    // A request while the dialog is still open brings it to the front.
    if (isVisible())
        raise();
    show();
    activateWindow();
    m_nameEdit->setFocus(Qt::OtherFocusReason);
    dialogsupport::select_all_text(m_nameEdit);
    // Qt gives the Tab key to whichever option button gets the focus: showing the dialog again may hand the
    // focus back to the role button that had it when the dialog was hidden, though the other role is chosen now.
    letTabReachCheckedRole();
}

bool MemberEditor::eventFilter(QObject* watched, QEvent* event) {
    // Qt moves the Tab key to a role button as it gets the focus, after this filter: the rule is put back once
    // that is done, so that Tab keeps reaching the chosen role.
    if (event->type() == QEvent::FocusIn && (watched == m_leaderOption || watched == m_partnerOption))
        QMetaObject::invokeMethod(this, &MemberEditor::letTabReachCheckedRole, Qt::QueuedConnection);
    return QDialog::eventFilter(watched, event);
}

void MemberEditor::showMember(const MemberRecord& member) {
    m_nameEdit->setText(member.name);
    m_kanaEdit->setText(member.kana);
    m_highschoolEdit->setText(member.highschool);
    m_departmentEdit->setText(member.department);
    const QString year = QString::number(member.year);
    m_yearBox->setCurrentIndex(m_yearBox->findText(year));
    m_yearBox->setEditText(year);
    if (member.role != 0)
        m_partnerOption->setChecked(true);
    else
        m_leaderOption->setChecked(true);
}

void MemberEditor::letTabReachCheckedRole() {
    for (QRadioButton* option : {m_leaderOption, m_partnerOption})
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

MemberInput MemberEditor::typedInput() const {
    return {m_nameEdit->text(),       m_kanaEdit->text(),       m_highschoolEdit->text(),
            m_departmentEdit->text(), m_yearBox->currentText(), quint8(m_leaderOption->isChecked() ? 0 : 1)};
}

void MemberEditor::storeMember() {
    const StoreMemberOutcome outcome = store_member(m_state, m_edit, typedInput(), m_prompter);
    switch (outcome.result) {
    case StoreMemberOutcome::Stored:
    case StoreMemberOutcome::Gone:
        hide();
        return;
    case StoreMemberOutcome::Refused:
        break;
    }
    QLineEdit* const boxes[] = {nullptr, m_nameEdit, m_kanaEdit, m_highschoolEdit, m_departmentEdit};
    if (QLineEdit* box = boxes[int(outcome.field)])
        box->setFocus(Qt::OtherFocusReason);
}
