#include "entrydialog.h"

#include "cp932.h"
#include "datafiles.h"
#include "dialogsupport.h"
#include "entrycommands.h"
#include "export.h"
#include "japanesefont.h"
#include "twips.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QWindow>

using dialogsupport::place;
using dialogsupport::place_growing;

namespace {

// The designed layout (twips) from which both modes derive the places of the two buttons.
constexpr int kClientWidth = 4710;
constexpr int kClientHeight = 4065;
constexpr int kLeagueTop = 1380, kLeagueHeight = 285;
constexpr int kCommentTop = 2445, kCommentHeight = 1125;
constexpr int kOkLeft = 2595, kCancelLeft = 3645, kButtonTop = 3645, kButtonWidth = 1035, kButtonHeight = 390;

QLineEdit* makeBox(QWidget* parent, const QString& objectName, int left, int top, int width, int height) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    place(box, left, top, width, height);
    dialogsupport::select_all_on_double_click(box);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& objectName, const QString& text, int left, int top, int width,
                  int height, const QString& toolTip = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    if (!toolTip.isEmpty())
        label->setToolTip(toolTip);
    place_growing(label, left, top, width, height);
    return label;
}

// The comment box shows line breaks as it edits them; the files store them as CR LF.
QString commentForBox(const QString& stored) {
    QString text = stored;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString commentForFile(const QString& shown) {
    QString text = shown;
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

} // namespace

EntryDialog::EntryDialog(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_state(state), m_prompter(prompter), m_working(state.universityInfo) {
    setObjectName(QStringLiteral("frm_entry"));
    setWindowTitle(QStringLiteral("エントリー作成"));
    setFont(ms_p_gothic(9));
    setAttribute(Qt::WA_DeleteOnClose, true);
    dialogsupport::make_fixed_window(this, kClientWidth, kClientHeight);

    // Created in tab order.
    txt_University = makeBox(this, QStringLiteral("txt_University"), 1035, 15, 3630, 315);
    txt_PartnerSchool = makeBox(this, QStringLiteral("txt_PartnerSchool"), 1035, 375, 3630, 285);
    txt_Head = makeBox(this, QStringLiteral("txt_Head"), 1035, 705, 3630, 285);
    txt_Manager = makeBox(this, QStringLiteral("txt_Manager"), 1035, 1050, 3630, 285);
    txt_Leaguemember = makeBox(this, QStringLiteral("txt_Leaguemember"), 1035, kLeagueTop, 3630, kLeagueHeight);

    cmb_Gname = new QComboBox(this);
    cmb_Gname->setObjectName(QStringLiteral("cmb_Gname"));
    cmb_Gname->setEditable(false);
    place(cmb_Gname, 1020, 2085, 3645, 300);

    txt_Comment = new QPlainTextEdit(this);
    txt_Comment->setObjectName(QStringLiteral("txt_Comment"));
    txt_Comment->setTabChangesFocus(true);
    place(txt_Comment, 1005, kCommentTop, 3660, kCommentHeight);
    dialogsupport::select_all_on_double_click(txt_Comment);

    cmd_OK = new QPushButton(QStringLiteral("決定"), this);
    cmd_OK->setObjectName(QStringLiteral("cmd_OK"));
    cmd_OK->setDefault(true);
    place(cmd_OK, kOkLeft, kButtonTop, kButtonWidth, kButtonHeight);
    cmd_Cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmd_Cancel->setObjectName(QStringLiteral("cmd_Cancel"));
    place(cmd_Cancel, kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight);

    makeLabel(this, QStringLiteral("lbl_University"), QStringLiteral("大学名"), 15, 75, 540, 180,
              QStringLiteral("必ず書いてください。"));
    makeLabel(this, QStringLiteral("lbl_PartnerSchool"), QStringLiteral("共同加盟校"), 15, 435, 900, 180);
    makeLabel(this, QStringLiteral("lbl_Head"), QStringLiteral("部長"), 30, 750, 360, 180);
    makeLabel(this, QStringLiteral("lbl_Manager"), QStringLiteral("マネージャー"), 15, 1080, 1005, 180);
    makeLabel(this, QStringLiteral("lbl_Leaguemember"), QStringLiteral("連盟委員"), 15, 1410, 720, 180);
    lbl_Gname = makeLabel(this, QStringLiteral("lbl_Gname"), QStringLiteral("出場試合名"), 30, 2130, 900, 180,
                          QStringLiteral("ファイル名に使うだけです。"));
    lbl_Comment = makeLabel(this, QStringLiteral("lbl_Comment"), QStringLiteral("コメント"), 30, 2460, 555, 180);

    connect(cmd_OK, &QPushButton::clicked, this, &EntryDialog::cmd_OK_Click);
    connect(cmd_Cancel, &QPushButton::clicked, this, &EntryDialog::cmd_Cancel_Click);

    load_game_names();
}

EntryDialog::Mode EntryDialog::mode() const {
    return m_mode;
}

void EntryDialog::load_game_names() {
    QStringList names;
    const qint32 count = read_game_names(m_state.gameNamesPath(), names);
    cmb_Gname->clear();
    for (qint32 i = 0; i < count && i < names.size(); ++i)
        cmb_Gname->addItem(names[i]);
    // The first name is selected; without names nothing is.
    cmb_Gname->setCurrentIndex(cmb_Gname->count() > 0 ? 0 : -1);
}

void EntryDialog::show_university_info() {
    txt_University->setText(m_working.university);
    txt_PartnerSchool->setText(m_working.partnerSchool);
    txt_Head->setText(m_working.head);
    txt_Manager->setText(m_working.manager);
    txt_Leaguemember->setText(m_working.leagueMember);
    txt_Comment->setPlainText(commentForBox(m_working.comment));
    // Exact comparison; when the list holds the name twice the later one is selected.
    for (int i = 0; i < cmb_Gname->count(); ++i) {
        if (cmb_Gname->itemText(i) == m_working.gameName)
            cmb_Gname->setCurrentIndex(i);
    }
}

void EntryDialog::read_university_info() {
    m_working.university = txt_University->text();
    m_working.partnerSchool = txt_PartnerSchool->text();
    m_working.head = txt_Head->text();
    m_working.manager = txt_Manager->text();
    m_working.leagueMember = txt_Leaguemember->text();
    m_working.comment = commentForFile(txt_Comment->toPlainText());
    m_working.gameName = cmb_Gname->currentIndex() >= 0 ? cmb_Gname->currentText() : QString();
}

void EntryDialog::setExportControlsVisible(bool visible) {
    cmb_Gname->setVisible(visible);
    txt_Comment->setVisible(visible);
    lbl_Gname->setVisible(visible);
    lbl_Comment->setVisible(visible);
}

// University mode: 決定 sits directly under 連盟委員 and the window ends below it; the competition list and
// the comment lie beyond that edge and キャンセル (under 決定 at the same place) cannot be reached.
void EntryDialog::arrange_for_university() {
    const int top = kLeagueTop + kLeagueHeight;
    place(cmd_OK, kCancelLeft, top, kButtonWidth, kButtonHeight);
    place(cmd_Cancel, kCancelLeft, top, kButtonWidth, kButtonHeight);
    cmd_OK->raise();
    cmd_Cancel->hide();
    setExportControlsVisible(false);
    setFixedSize(twips::size(kClientWidth, top + kButtonHeight, this));
}

// Export mode: every control visible, 決定 and キャンセル side by side under the comment box.
void EntryDialog::arrange_for_export() {
    const int top = kCommentTop + kCommentHeight;
    place(cmd_OK, kCancelLeft - kButtonWidth, top, kButtonWidth, kButtonHeight);
    place(cmd_Cancel, kCancelLeft, top, kButtonWidth, kButtonHeight);
    cmd_Cancel->show();
    setExportControlsVisible(true);
    setFixedSize(twips::size(kClientWidth, top + kButtonHeight, this));
}

void EntryDialog::start_uniinf(AppState& state, Prompter& prompter, QWidget* parent) {
    auto* dialog = new EntryDialog(state, prompter, parent);
    dialog->m_mode = Mode::University;
    dialog->m_working = state.universityInfo;
    dialog->show_university_info();
    dialog->arrange_for_university();

    // Centred on the screen with its frame, as far as the platform tells the frame before the window is shown.
    dialog->winId();
    const QMargins frame = dialog->windowHandle() ? dialog->windowHandle()->frameMargins() : QMargins();
    const QSize outer = dialog->size().grownBy(frame);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        dialog->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
    }
    dialog->txt_University->setFocus(Qt::OtherFocusReason);
    // exec() deletes the dialog after it closed (WA_DeleteOnClose).
    dialog->exec();
}

void EntryDialog::start_entry() {
    m_mode = Mode::Export;
    m_working = m_state.universityInfo;
    if (cmb_Gname->count() > 0)
        cmb_Gname->setCurrentIndex(0);
    show_university_info();
    arrange_for_export();

    // A request while the dialog is still open brings it to the front.
    if (isVisible())
        raise();
    show();
    activateWindow();
    txt_University->setFocus(Qt::OtherFocusReason);
    dialogsupport::select_all_text(txt_University);
}

bool EntryDialog::check_entry_input() {
    QString problem;
    if (txt_University->text().isEmpty())
        problem = QStringLiteral("大学名を必ず入力してください。");
    else if (m_mode == Mode::Export && cmb_Gname->currentText().isEmpty())
        problem = QStringLiteral("試合名を必ず選択してください。");
    if (problem.isEmpty())
        return true;
    m_prompter.showMessage(problem, Prompter::Icon::Information);
    return false;
}

// Refuses text that the files could not store, naming the field and the character.
bool EntryDialog::check_encodable() {
    const std::pair<QString, QString> fields[] = {
        {QStringLiteral("大学名"), txt_University->text()},
        {QStringLiteral("共同加盟校"), txt_PartnerSchool->text()},
        {QStringLiteral("部長"), txt_Head->text()},
        {QStringLiteral("マネージャー"), txt_Manager->text()},
        {QStringLiteral("連盟委員"), txt_Leaguemember->text()},
        {QStringLiteral("コメント"), txt_Comment->toPlainText()},
        {QStringLiteral("出場試合名"), cmb_Gname->currentText()},
    };
    for (const auto& [field, text] : fields) {
        const QString bad = cp932::firstUnencodable(text);
        if (!bad.isEmpty()) {
            m_prompter.showMessage(dialogsupport::unencodable_message(field, bad), Prompter::Icon::Exclamation);
            return false;
        }
    }
    return true;
}

void EntryDialog::cmd_OK_Click() {
    if (!check_entry_input() || !check_encodable())
        return;
    read_university_info();

    // uniinf.dat is written before anything changes in memory, so a failed write leaves the program as
    // it was and the dialog open for another try.
    AppState written;
    written.universityInfo = m_working;
    QString error;
    if (!write_university_file(m_state.universityFilePath(), written, &error)) {
        m_prompter.showMessage(error, Prompter::Icon::Stop);
        return;
    }
    m_state.universityInfo = m_working;

    if (m_mode == Mode::University || export_entry())
        close();
}

// The rest of an export, after uniinf.dat was written. False keeps the dialog open: the file dialog was
// cancelled or a write failed (reported, and the entry stays unsaved).
bool EntryDialog::export_entry() {
    stamp_couples(m_state);
    m_prompter.showMessage(QStringLiteral("これから出力するファイルを E-Mail にて送ってください。"),
                           Prompter::Icon::Exclamation);
    const QString path =
        show_file_dialog(m_prompter, QString(), false, QStringLiteral("エントリーファイル (*.ent)|*.ent|"),
                         export_file_name(m_state.universityInfo), QStringLiteral("エントリーデータの出力"));
    if (path.isEmpty())
        return false;

    // The chosen path exactly as returned, then the open entry file, so both hold the stamped couples.
    for (const QString& target : {path, m_state.entryFilePath()}) {
        QString error;
        if (!write_entry_file(target, m_state, &error)) {
            m_prompter.showMessage(error, Prompter::Icon::Stop);
            return false;
        }
    }
    m_state.entryChanged = 0;
    emit entryExported();
    return true;
}

void EntryDialog::cmd_Cancel_Click() {
    close();
}
