#include "entrydialog.h"

#include "datafiles.h"
#include "desktoplauncher.h"
#include "dialogsupport.h"
#include "export.h"
#include "japanesefont.h"
#include "textcheck.h"
#include "twips.h"
#include "usersettings.h"

#include <QComboBox>
#include <QFileInfo>
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

QLabel* makeLabel(QWidget* parent, QWidget* control, const QString& objectName, const QString& text, int left, int top,
                  int width, int height, const QString& toolTip = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    dialogsupport::label_for(label, control);
    if (!toolTip.isEmpty())
        label->setToolTip(toolTip);
    place_growing(label, left, top, width, height);
    return label;
}

} // namespace

EntryDialog::EntryDialog(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_state(state), m_prompter(prompter) {
    setObjectName(QStringLiteral("frm_entry"));
    setWindowTitle(QStringLiteral("エントリー作成"));
    setFont(ms_p_gothic(9));
    setAttribute(Qt::WA_DeleteOnClose, true);
    dialogsupport::make_fixed_window(this, kClientWidth, kClientHeight);

    // Created in tab order.
    m_universityEdit = makeBox(this, QStringLiteral("txt_University"), 1035, 15, 3630, 315);
    m_partnerSchoolEdit = makeBox(this, QStringLiteral("txt_PartnerSchool"), 1035, 375, 3630, 285);
    m_headEdit = makeBox(this, QStringLiteral("txt_Head"), 1035, 705, 3630, 285);
    m_managerEdit = makeBox(this, QStringLiteral("txt_Manager"), 1035, 1050, 3630, 285);
    m_leagueMemberEdit = makeBox(this, QStringLiteral("txt_Leaguemember"), 1035, kLeagueTop, 3630, kLeagueHeight);

    m_gameNameBox = new QComboBox(this);
    m_gameNameBox->setObjectName(QStringLiteral("cmb_Gname"));
    m_gameNameBox->setEditable(false);
    place(m_gameNameBox, 1020, 2085, 3645, 300);

    m_commentEdit = new QPlainTextEdit(this);
    m_commentEdit->setObjectName(QStringLiteral("txt_Comment"));
    m_commentEdit->setTabChangesFocus(true);
    place(m_commentEdit, 1005, kCommentTop, 3660, kCommentHeight);
    dialogsupport::select_all_on_double_click(m_commentEdit);

    m_okButton = new QPushButton(QStringLiteral("決定"), this);
    m_okButton->setObjectName(QStringLiteral("cmd_OK"));
    m_okButton->setDefault(true);
    place(m_okButton, kOkLeft, kButtonTop, kButtonWidth, kButtonHeight);
    m_cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmd_Cancel"));
    place(m_cancelButton, kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight);

    makeLabel(this, m_universityEdit, QStringLiteral("lbl_University"), QStringLiteral("大学名"), 15, 75, 540, 180,
              QStringLiteral("必ず書いてください。"));
    makeLabel(this, m_partnerSchoolEdit, QStringLiteral("lbl_PartnerSchool"), QStringLiteral("共同加盟校"), 15, 435,
              900, 180);
    makeLabel(this, m_headEdit, QStringLiteral("lbl_Head"), QStringLiteral("部長"), 30, 750, 360, 180);
    makeLabel(this, m_managerEdit, QStringLiteral("lbl_Manager"), QStringLiteral("マネージャー"), 15, 1080, 1005, 180);
    makeLabel(this, m_leagueMemberEdit, QStringLiteral("lbl_Leaguemember"), QStringLiteral("連盟委員"), 15, 1410, 720,
              180);
    m_gameNameLabel = makeLabel(this, m_gameNameBox, QStringLiteral("lbl_Gname"), QStringLiteral("出場試合名"), 30,
                                2130, 900, 180, QStringLiteral("ファイル名に使うだけです。"));
    m_commentLabel =
        makeLabel(this, m_commentEdit, QStringLiteral("lbl_Comment"), QStringLiteral("コメント"), 30, 2460, 555, 180);

    connect(m_okButton, &QPushButton::clicked, this, &EntryDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);

    loadGameNames();
}

EntryDialog::Mode EntryDialog::mode() const {
    return m_mode;
}

int EntryDialog::gameNameCount() const {
    return m_gameNameBox->count();
}

void EntryDialog::loadGameNames() {
    QStringList names;
    const qint32 count = read_game_names(m_state.gameNamesPath(), names);
    m_gameNameBox->clear();
    for (qint32 i = 0; i < count && i < names.size(); ++i)
        m_gameNameBox->addItem(names[i]);
    // The first name is selected; without names nothing is.
    m_gameNameBox->setCurrentIndex(m_gameNameBox->count() > 0 ? 0 : -1);
}

void EntryDialog::reloadGameNames() {
    const QString chosen = m_gameNameBox->currentIndex() >= 0 ? m_gameNameBox->currentText() : QString();
    loadGameNames();
    const int at = m_gameNameBox->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!chosen.isEmpty() && at >= 0)
        m_gameNameBox->setCurrentIndex(at);
}

void EntryDialog::showUniversityInfo(const UniversityInfo& info) {
    m_universityEdit->setText(info.university);
    m_partnerSchoolEdit->setText(info.partnerSchool);
    m_headEdit->setText(info.head);
    m_managerEdit->setText(info.manager);
    m_leagueMemberEdit->setText(info.leagueMember);
    m_commentEdit->setPlainText(lines_for_display(info.comment));
    // Exact comparison; when the list holds the name twice the later one is selected.
    for (int i = 0; i < m_gameNameBox->count(); ++i) {
        if (m_gameNameBox->itemText(i) == info.gameName)
            m_gameNameBox->setCurrentIndex(i);
    }
}

UniversityInfo EntryDialog::typedInfo() const {
    return {m_universityEdit->text(),
            m_partnerSchoolEdit->text(),
            m_headEdit->text(),
            m_managerEdit->text(),
            m_leagueMemberEdit->text(),
            lines_for_file(m_commentEdit->toPlainText()),
            m_gameNameBox->currentIndex() >= 0 ? m_gameNameBox->currentText() : QString()};
}

void EntryDialog::setExportControlsVisible(bool visible) {
    m_gameNameBox->setVisible(visible);
    m_commentEdit->setVisible(visible);
    m_gameNameLabel->setVisible(visible);
    m_commentLabel->setVisible(visible);
}

// University mode: 決定 sits directly under 連盟委員 and the window ends below it; the competition list and
// the comment lie beyond that edge and キャンセル (under 決定 at the same place) cannot be reached.
void EntryDialog::arrangeForUniversity() {
    const int top = kLeagueTop + kLeagueHeight;
    place(m_okButton, kCancelLeft, top, kButtonWidth, kButtonHeight);
    place(m_cancelButton, kCancelLeft, top, kButtonWidth, kButtonHeight);
    m_okButton->raise();
    m_cancelButton->hide();
    setExportControlsVisible(false);
    setFixedSize(twips::size(kClientWidth, top + kButtonHeight, this));
}

// Export mode: every control visible, 決定 and キャンセル side by side under the comment box.
void EntryDialog::arrangeForExport() {
    const int top = kCommentTop + kCommentHeight;
    place(m_okButton, kCancelLeft - kButtonWidth, top, kButtonWidth, kButtonHeight);
    place(m_cancelButton, kCancelLeft, top, kButtonWidth, kButtonHeight);
    m_cancelButton->show();
    setExportControlsVisible(true);
    setFixedSize(twips::size(kClientWidth, top + kButtonHeight, this));
}

void EntryDialog::openUniversityInfo(AppState& state, Prompter& prompter, QWidget* parent) {
    auto* dialog = new EntryDialog(state, prompter, parent);
    dialog->m_mode = Mode::University;
    dialog->showUniversityInfo(state.universityInfo);
    dialog->arrangeForUniversity();

    // Centred on the screen with its frame, as far as the platform tells the frame before the window is shown.
    dialog->winId();
    const QMargins frame = dialog->windowHandle() ? dialog->windowHandle()->frameMargins() : QMargins();
    const QSize outer = dialog->size().grownBy(frame);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        dialog->move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
    }
    dialog->m_universityEdit->setFocus(Qt::OtherFocusReason);
    // exec() deletes the dialog after it closed (WA_DeleteOnClose).
    dialog->exec();
}

void EntryDialog::openExport() {
    m_mode = Mode::Export;
    if (m_gameNameBox->count() > 0)
        m_gameNameBox->setCurrentIndex(0);
    showUniversityInfo(m_state.universityInfo);
    arrangeForExport();

    // A request while the dialog is still open brings it to the front.
    if (isVisible())
        raise();
    show();
    activateWindow();
    m_universityEdit->setFocus(Qt::OtherFocusReason);
    dialogsupport::select_all_text(m_universityEdit);
}

void EntryDialog::confirm() {
    const UniversityInfo typed = typedInfo();
    if (!check_university_input(typed, m_mode == Mode::Export, m_prompter))
        return;
    // uniinf.dat is written before anything changes in memory, so a failed write leaves the program as it was
    // and the dialog open for another try.
    if (!store_university_info(m_state, typed, m_prompter))
        return;
    if (m_mode == Mode::University) {
        close();
        return;
    }
    // A cancelled file dialog or a failed write keeps the dialog open; the entry stays unsaved. The file dialog
    // starts where the last export went.
    const std::unique_ptr<QSettings> settings = usersettings::open();
    QString written;
    ExportOptions options{.rememberedFolder = {}, .launcher = &desktop::launcher(), .writtenPath = &written};
    if (settings)
        options.rememberedFolder = settings->value(QLatin1String(usersettings::kLastExportFolder)).toString();
    const ExportResult result = export_entry(m_state, m_prompter, options);
    if (settings && !written.isEmpty())
        settings->setValue(QLatin1String(usersettings::kLastExportFolder), QFileInfo(written).absolutePath());
    if (result == ExportResult::Exported) {
        emit entryExported();
        close();
    }
}
