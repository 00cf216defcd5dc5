#include "membereditor.h"

#include "cp932.h"
#include "dialogsupport.h"
#include "japanesefont.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <limits>

using dialogsupport::place;
using dialogsupport::place_growing;

namespace {

// The year box's text as a 32-bit whole number: blanks around it ignored, full-width digits and a sign
// accepted, a decimal fraction rounded half to even. Empty or non-numeric text fails.
bool get_long_number(const QString& text, qint32& number) {
    const QString normal = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (normal.isEmpty())
        return false;
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<qint32>::min()) || rounded > double(std::numeric_limits<qint32>::max()))
        return false;
    number = qint32(rounded);
    return true;
}

QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
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
    : QDialog(parent), m_state(state), m_prompter(prompter), m_working(new_member_record()) {
    setObjectName(QStringLiteral("frm_member"));
    setWindowTitle(QStringLiteral("メンバー作成"));
    setFont(ms_p_gothic(9));
    dialogsupport::make_fixed_window(this, 8220, 870);

    // Created in tab order, so focus moves through the boxes as designed.
    txt_name = makeBox(this, QStringLiteral("txt_name"));
    place(txt_name, 450, 105, 1905, 300);
    txt_kana = makeBox(this, QStringLiteral("txt_kana"));
    place(txt_kana, 450, 465, 1905, 300);
    txt_highschool = makeBox(this, QStringLiteral("txt_highschool"));
    place(txt_highschool, 3255, 105, 1905, 300);
    txt_department = makeBox(this, QStringLiteral("txt_department"));
    place(txt_department, 3255, 480, 1905, 300);

    cmb_kaisei = new QComboBox(this);
    cmb_kaisei->setObjectName(QStringLiteral("cmb_kaisei"));
    // Editable, so a year can also be typed; the checks of 決定 apply to whatever text it holds.
    cmb_kaisei->setEditable(true);
    cmb_kaisei->setInsertPolicy(QComboBox::NoInsert);
    cmb_kaisei->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    place(cmb_kaisei, 6180, 90, 765, 300);

    opt_leader = new QRadioButton(QStringLiteral("Leader"), this);
    opt_leader->setObjectName(QStringLiteral("opt_leader"));
    place_growing(opt_leader, 5280, 540, 885, 180);
    opt_partner = new QRadioButton(QStringLiteral("Partner"), this);
    opt_partner->setObjectName(QStringLiteral("opt_partner"));
    place_growing(opt_partner, 6180, 525, 885, 195);
    opt_leader->setChecked(true);

    cmd_ok = new QPushButton(QStringLiteral("決定"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    place(cmd_ok, 7185, 30, 1005, 390);
    cmd_cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));
    place(cmd_cancel, 7185, 435, 1005, 390);

    place_growing(makeLabel(this, QStringLiteral("lbl_name"), QStringLiteral("名前")), 15, 165, 360, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_highschool"), QStringLiteral("出身高校")), 2475, 180, 720, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_department"), QStringLiteral("学部")), 2790, 540, 360, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_kana"), QStringLiteral("かな")), 15, 510, 345, 180);
    place_growing(makeLabel(this, QStringLiteral("lbl_kaisei"), QStringLiteral("回生")), 5595, 150, 360, 180);

    setTabOrder(txt_name, txt_kana);
    setTabOrder(txt_kana, txt_highschool);
    setTabOrder(txt_highschool, txt_department);
    setTabOrder(txt_department, cmb_kaisei);
    setTabOrder(cmb_kaisei, opt_leader);
    setTabOrder(opt_leader, opt_partner);
    setTabOrder(opt_partner, cmd_ok);
    setTabOrder(cmd_ok, cmd_cancel);

    connect(cmd_ok, &QPushButton::clicked, this, &MemberEditor::cmd_ok_Click);
    connect(cmd_cancel, &QPushButton::clicked, this, &MemberEditor::cmd_cancel_Click);
}

void MemberEditor::start_make_memberdat(qint32 position) {
    // Only -1 or an existing member can be edited; anything else would read outside the roster.
    if (position >= m_state.memberCount || position >= m_state.members.size())
        return;
    m_editPosition = position < 0 ? -1 : position;
    m_working = m_editPosition == -1 ? new_member_record() : m_state.members[m_editPosition];
    m_opened = m_working;
    show_member();

    // A request while the dialog is still open brings it to the front.
    if (isVisible())
        raise();
    show();
    activateWindow();
    txt_name->setFocus(Qt::OtherFocusReason);
    dialogsupport::select_all_text(txt_name);
}

void MemberEditor::show_member() {
    txt_name->setText(m_working.name);
    txt_kana->setText(m_working.kana);
    txt_highschool->setText(m_working.highschool);
    txt_department->setText(m_working.department);
    const QString year = QString::number(m_working.year);
    const int item = cmb_kaisei->findText(year);
    cmb_kaisei->setCurrentIndex(item);
    cmb_kaisei->setEditText(year);
    if (m_working.role != 0)
        opt_partner->setChecked(true);
    else
        opt_leader->setChecked(true);
}

bool MemberEditor::check_member_input() {
    qint32 year = 0;
    QString problem;
    if (!get_long_number(cmb_kaisei->currentText(), year))
        problem = QStringLiteral("回生に数値以外を入力しないで下さい。");
    else if (year < 1 || year > 4)
        problem = QStringLiteral("回生は１から４までの数値です。");
    else if (txt_name->text().isEmpty())
        problem = QStringLiteral("名前は必ず入力してください。");
    if (problem.isEmpty())
        return true;
    m_prompter.showMessage(problem, Prompter::Icon::Exclamation);
    return false;
}

// Refuses text that member.dat could not store, naming the box and the character.
bool MemberEditor::check_encodable() {
    const std::pair<QString, QLineEdit*> fields[] = {{QStringLiteral("名前"), txt_name},
                                                     {QStringLiteral("かな"), txt_kana},
                                                     {QStringLiteral("出身高校"), txt_highschool},
                                                     {QStringLiteral("学部"), txt_department}};
    for (const auto& [field, box] : fields) {
        const QString bad = cp932::firstUnencodable(box->text());
        if (!bad.isEmpty()) {
            m_prompter.showMessage(dialogsupport::unencodable_message(field, bad), Prompter::Icon::Exclamation);
            box->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return true;
}

void MemberEditor::read_member() {
    m_working.name = txt_name->text();
    m_working.kana = txt_kana->text();
    m_working.highschool = txt_highschool->text();
    m_working.department = txt_department->text();
    qint32 year = 0;
    get_long_number(cmb_kaisei->currentText(), year); // checked to lie in 1..4 before
    m_working.year = quint8(year);
    m_working.role = opt_leader->isChecked() ? 0 : 1;
}

// The main window can delete members while the editor is open; the edit may only be stored while its
// position still holds the member that was opened.
bool MemberEditor::edited_member_still_there() const {
    if (m_editPosition == -1)
        return true;
    return m_editPosition < m_state.memberCount && m_editPosition < m_state.members.size() &&
           m_state.members[m_editPosition] == m_opened;
}

void MemberEditor::cmd_ok_Click() {
    if (!edited_member_still_there()) {
        m_prompter.showMessage(
            QStringLiteral(
                "編集中のメンバーは、この画面を開いた後に削除されたか変更されました。\nこの編集は保存しません。"),
            Prompter::Icon::Exclamation);
        hide();
        return;
    }
    if (!check_member_input() || !check_encodable())
        return;
    read_member();
    if (m_editPosition == -1) {
        // Only the first memberCount entries are valid; the new member goes right after them.
        m_state.memberCount += 1;
        m_state.members.resize(m_state.memberCount);
        m_state.members[m_state.memberCount - 1] = m_working;
    } else {
        m_state.members[m_editPosition] = m_working;
    }
    m_state.membersChanged = 1;
    emit membersStored();
    hide();
}

void MemberEditor::cmd_cancel_Click() {
    hide();
}
