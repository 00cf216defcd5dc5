#include "mainwindow.h"

#include "coupleeditor.h"
#include "couplegridview.h"
#include "deletion.h"
#include "entrycheck.h"
#include "entrycommands.h"
#include "entrydialog.h"
#include "japanesefont.h"
#include "membereditor.h"
#include "memberlistview.h"
#include "membertextcommand.h"
#include "toggling.h"
#include "twips.h"
#include "yearadvancecommand.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {
// The designed layout, in twips.
constexpr int kDesignClientWidth = 4965;
constexpr int kDesignClientHeight = 5145;
constexpr int kButtonHeight = 375;
constexpr int kAddDelWidth = 930;
constexpr int kOptionWidth = 1215;
constexpr int kEntryButtonWidth = 2130;
constexpr int kButtonGap = 100;
} // namespace

bool has_leader_and_partner(const AppState& state) {
    bool leader = false;
    bool partner = false;
    const qint32 count = std::min<qint32>(state.memberCount, qint32(state.members.size()));
    for (qint32 i = 0; i < count; ++i) {
        if (state.members.at(i).role == 0)
            leader = true;
        if (state.members.at(i).role == 1)
            partner = true;
    }
    return leader && partner;
}

MainWindow::MainWindow(AppState& state, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_prompter(prompter) {
    setObjectName(QStringLiteral("frm_main"));
    setFont(ms_p_gothic(9));

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client_area"));
    setCentralWidget(m_client);

    m_memberList = new MemberListView(m_client);
    m_memberList->setObjectName(QStringLiteral("lvw_member"));
    m_coupleGrid = new CoupleGridView(m_client);
    m_coupleGrid->setObjectName(QStringLiteral("mfg_couple"));

    m_cmdAdd = new QPushButton(QStringLiteral("追加"), m_client);
    m_cmdAdd->setObjectName(QStringLiteral("cmd_add"));
    m_cmdDel = new QPushButton(QStringLiteral("削除"), m_client);
    m_cmdDel->setObjectName(QStringLiteral("cmd_del"));
    m_optMember = new QRadioButton(QStringLiteral("メンバー表示"), m_client);
    m_optMember->setObjectName(QStringLiteral("optMember"));
    m_optMember->setChecked(true);
    m_optCouple = new QRadioButton(QStringLiteral("カップル表示"), m_client);
    m_optCouple->setObjectName(QStringLiteral("optCouple"));
    m_cmdEntry = new QPushButton(QStringLiteral("エントリーファイル出力"), m_client);
    m_cmdEntry->setObjectName(QStringLiteral("cmdEntry"));

    setTabOrder(m_memberList, m_coupleGrid);
    setTabOrder(m_coupleGrid, m_cmdAdd);
    setTabOrder(m_cmdAdd, m_cmdDel);
    setTabOrder(m_cmdDel, m_optMember);
    setTabOrder(m_optMember, m_optCouple);
    setTabOrder(m_optCouple, m_cmdEntry);

    m_memberList->hide();
    m_coupleGrid->hide();

    create_menus();

    connect(m_cmdAdd, &QPushButton::clicked, this, &MainWindow::cmd_add_Click);
    connect(m_cmdDel, &QPushButton::clicked, this, &MainWindow::cmd_del_Click);
    connect(m_cmdEntry, &QPushButton::clicked, this, &MainWindow::cmdEntry_Click);
    connect(m_optMember, &QRadioButton::clicked, this, &MainWindow::switch_view);
    connect(m_optCouple, &QRadioButton::clicked, this, &MainWindow::switch_view);
    connect(m_memberList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { lvw_member_ItemClick(item); });
    connect(m_coupleGrid, &CoupleGridView::cellClicked, this, &MainWindow::mfg_couple_Click);
    connect(m_coupleGrid, &CoupleGridView::cellDoubleClicked, this, &MainWindow::mfg_couple_DblClick);

    m_client->installEventFilter(this);
    m_memberList->viewport()->installEventFilter(this);
}

MainWindow::~MainWindow() = default;

MemberEditor* MainWindow::memberEditor() const {
    return m_memberEditor;
}
CoupleEditor* MainWindow::coupleEditor() const {
    return m_coupleEditor;
}
EntryDialog* MainWindow::entryDialog() const {
    return m_entryDialog;
}

void MainWindow::create_menus() {
    m_mnuFile = menuBar()->addMenu(QStringLiteral("ファイル"));
    m_mnuFile->setObjectName(QStringLiteral("mnu_file"));
    m_mnuOption = menuBar()->addMenu(QStringLiteral("オプション"));
    m_mnuOption->setObjectName(QStringLiteral("mnu_option"));

    const auto add = [this](QMenu* menu, const char* name, const QString& caption, void (MainWindow::*slot)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    const auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    m_mnuNewEntry =
        add(m_mnuFile, "mnu_new_entry", QStringLiteral("エントリーファイル新規作成"), &MainWindow::mnu_new_entry_Click);
    m_mnuOpenEntry =
        add(m_mnuFile, "mnu_open_ently", QStringLiteral("エントリーファイルを開く"), &MainWindow::mnu_open_ently_Click);
    separator(m_mnuFile, "mnu_tmp");
    m_mnuSaveEntry = add(m_mnuFile, "mnu_save_entry", QStringLiteral("エントリーファイルの上書き保存"),
                         &MainWindow::mnu_save_entry_Click);
    m_mnuSaveChangeFilename =
        add(m_mnuFile, "mnu_save_change_filename", QStringLiteral("エントリーファイルを名前を付けて保存"),
            &MainWindow::mnu_save_change_filename_Click);
    separator(m_mnuFile, "mnu_tmp2");
    m_mnuSaveMember =
        add(m_mnuFile, "mnu__save_member", QStringLiteral("メンバーファイル保存"), &MainWindow::mnu__save_member_Click);
    separator(m_mnuFile, "mnu_tmp1");
    m_mnuEnd = m_mnuFile->addAction(QStringLiteral("終了"));
    m_mnuEnd->setObjectName(QStringLiteral("mnu_end"));
    connect(m_mnuEnd, &QAction::triggered, this, &QWidget::close);

    m_mnuUni = add(m_mnuOption, "mnu_Uni", QStringLiteral("大学情報変更"), &MainWindow::mnu_Uni_Click);
    m_mnuUpGrade = add(m_mnuOption, "mnu_up_Grade", QStringLiteral("すべてのメンバーの学年を１つあげる"),
                       &MainWindow::mnu_up_Grade_Click);
    m_mnuMemberOut =
        add(m_mnuOption, "mnu_member_out", QStringLiteral("メンバーテキスト出力"), &MainWindow::mnu_member_out_Click);
}

// ---- start, views and layout ----

void MainWindow::start_main() {
    // The designed client area first, so that the initial layout has the designed size to work with.
    const QSize designClient = twips::size(kDesignClientWidth, kDesignClientHeight, this);
    layout_main_controls();
    m_memberList->setGeometry(0, twips::toPixelsY(kButtonHeight, this), designClient.width(),
                              std::max(0, designClient.height() - twips::toPixelsY(kButtonHeight, this)));
    m_coupleGrid->setGeometry(m_memberList->geometry());

    m_memberList->setup_member_columns();
    m_coupleGrid->setup_couple_grid();
    m_coupleGrid->hide();
    // The list's frame is added so that the columns fit inside it without a horizontal scroll bar.
    const int columnsWidth = m_memberList->totalColumnWidth() + 2 * m_memberList->frameWidth();

    m_cmdEntry->setEnabled(false);
    m_mnuSaveEntry->setEnabled(false);
    m_mnuSaveChangeFilename->setEnabled(false);

    // The client area becomes exactly as wide as the member list's columns; the height stays as designed.
    resize(columnsWidth, menuBar()->sizeHint().height() + designClient.height());
    show();
    switch_view();
}

void MainWindow::layout_main_controls() {
    // Each control gets its designed width, widened where the caption would not fit in the font of this
    // platform; every left edge follows from the controls before it, as designed.
    const auto width = [this](QAbstractButton* control, int designTwips) {
        int needed = control->sizeHint().width();
        if (qobject_cast<QPushButton*>(control)) {
            // A push button's size hint has a minimum width of its own; only the caption must fit.
            const QStyle* style = control->style();
            needed = control->fontMetrics().horizontalAdvance(control->text()) +
                     2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control) +
                     2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
        }
        return std::max(twips::toPixelsX(designTwips, this), needed);
    };
    const int height = twips::toPixelsY(kButtonHeight, this);
    const int gap = twips::toPixelsX(kButtonGap, this);
    int left = 0;
    m_cmdAdd->setGeometry(left, 0, width(m_cmdAdd, kAddDelWidth), height);
    left = m_cmdAdd->geometry().right() + 1;
    m_cmdDel->setGeometry(left, 0, width(m_cmdDel, kAddDelWidth), height);
    left = m_cmdDel->geometry().right() + 1 + gap;
    m_optMember->setGeometry(left, 0, width(m_optMember, kOptionWidth), height);
    left = m_optMember->geometry().right() + 1;
    m_optCouple->setGeometry(left, 0, width(m_optCouple, kOptionWidth), height);
    left = m_optCouple->geometry().right() + 1 + gap;
    m_cmdEntry->setGeometry(left, 0, width(m_cmdEntry, kEntryButtonWidth), height);
}

void MainWindow::switch_view() {
    if (m_optMember->isChecked()) {
        m_viewMode = 1;
        m_coupleGrid->hide();
        m_memberList->show();
        expression_member_in_lvw();
        resize_main_view();
        m_cmdEntry->setEnabled(false);
        m_cmdAdd->setFocus();
        return;
    }
    if (m_state.entryFileName.isEmpty()) {
        m_prompter.showMessage(
            QStringLiteral("現在ファイルが選択されていません。\rメニューにある新規作成か、ファイルを読"
                           "み込みを行ってください。"),
            Prompter::Icon::Information);
        m_optMember->setChecked(true);
        switch_view();
        return;
    }
    enable_entry_commands();
    m_viewMode = 2;
    m_memberList->hide();
    m_coupleGrid->show();
    fill_couple_grid();
    show_entry_caption();
    resize_main_view();
    m_cmdAdd->setFocus();
}

void MainWindow::enable_entry_commands() {
    m_cmdEntry->setEnabled(true);
    m_mnuSaveEntry->setEnabled(true);
    m_mnuSaveChangeFilename->setEnabled(true);
}

void MainWindow::resize_main_view() {
    if (isMinimized() || m_viewMode == 0)
        return;
    const int width = m_client->width();
    // A client area lower than the button row leaves the list with no height rather than a negative one.
    const int height = std::max(0, m_client->height() - twips::toPixelsY(kButtonHeight, this));
    if (m_viewMode == 1) {
        m_memberList->resize(width, height);
    } else {
        m_memberList->hide();
        m_coupleGrid->resize(width, height);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        resize_main_view();
    } else if (watched == m_memberList->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        lvw_member_DblClick();
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- member view ----

void MainWindow::expression_member_in_lvw() {
    m_memberList->fill(m_state);
    show_view_caption();
}

void MainWindow::show_view_caption() {
    // The caption always describes the view that is shown: a refill of the hidden member list (after the
    // year advance, or an editor's OK) does not put the member count over the couple grid, nor the reverse.
    if (m_viewMode == 2)
        show_entry_caption();
    else
        setWindowTitle(QStringLiteral("メンバー数 : ") + QString::number(m_state.memberCount) + QStringLiteral(" 人"));
}

void MainWindow::lvw_member_ItemClick(QTreeWidgetItem* item) {
    if (m_memberList->count_selected_members() == 1)
        m_selectedMember = MemberListView::memberPosition(item);
    else
        m_selectedMember = -1;
}

void MainWindow::lvw_member_DblClick() {
    qint32 position = m_selectedMember;
    // A position left over from before a deletion, or one in an empty roster, starts a new member.
    if (position < 0 || position >= m_state.memberCount)
        position = -1;
    ensureMemberEditor()->start_make_memberdat(position);
}

void MainWindow::delete_members() {
    // The rows actually selected decide what is deleted: the last clicked item may have been deselected,
    // or the selection may have been changed with the keyboard since.
    const QList<qint32> selected = m_memberList->selectedPositions();
    if (selected.isEmpty())
        return;
    for (qint32 position : selected) {
        if (position < 0 || position >= m_state.memberCount)
            return; // the list no longer matches the roster; delete nothing rather than the wrong member
    }
    const QString subject =
        selected.size() == 1 ? m_state.members.at(selected.constFirst()).name : QStringLiteral("現在選択中のメンバー");
    if (!m_prompter.askYesNo(subject + QStringLiteral(" を消去します。よろしいですか？"), Prompter::Icon::Information))
        return;
    for (qint32 position : selected)
        m_state.members[position].deleteMark = 1;
    QList<MemberRecord> remaining;
    m_state.memberCount = remove_marked_members(m_state.members, m_state.memberCount, remaining);
    m_state.members = m_state.memberCount > 0 ? remaining : QList<MemberRecord>();
    expression_member_in_lvw();
    m_state.membersChanged = 1;
    m_memberList->clear_lvw_selection();
    notify_data_replaced();
}

// ---- couple view ----

void MainWindow::fill_couple_grid() {
    m_coupleGrid->setRows(build_couple_grid_rows(m_state));
}

void MainWindow::show_entry_caption() {
    setWindowTitle(entry_caption(m_state));
}

void MainWindow::mfg_couple_Click() {
    if (m_coupleGrid->rows().size() <= 1)
        return;
    const quint8 result = couple_grid_click(m_state, m_coupleGrid->rows(), m_coupleGrid->cursor(), m_currentCouple,
                                            m_currentPartner, m_prompter);
    if (result == 0) {
        show_entry_caption();
        fill_couple_grid();
    }
}

void MainWindow::mfg_couple_DblClick() {
    if (m_currentCouple < 0 || m_currentCouple >= m_state.coupleCount || m_currentCouple >= m_state.couples.size())
        return;
    ensureCoupleEditor()->start_make_couple(m_currentCouple);
}

// ---- buttons ----

void MainWindow::cmd_add_Click() {
    if (m_viewMode == 1) {
        ensureMemberEditor()->start_make_memberdat(-1);
    } else if (m_viewMode == 2) {
        if (has_leader_and_partner(m_state))
            ensureCoupleEditor()->start_make_couple(-1);
        else
            m_prompter.showMessage(QStringLiteral("リーダー、パートナーを1人以上作ってください。"),
                                   Prompter::Icon::Stop);
    }
}

void MainWindow::cmd_del_Click() {
    if (m_viewMode == 1) {
        if (m_state.memberCount > 0)
            delete_members();
    } else if (m_viewMode == 2) {
        if (m_state.coupleCount <= 0)
            return;
        GridCursor cursor = m_coupleGrid->cursor();
        const GridCursor before = cursor;
        delete_couples(m_state, m_coupleGrid->rows(), cursor, m_currentCouple, m_currentPartner, m_prompter);
        if (cursor.row != before.row || cursor.column != before.column)
            m_coupleGrid->setCurrentCell(cursor.row, cursor.column);
        fill_couple_grid();
        show_entry_caption();
        notify_data_replaced();
    }
}

void MainWindow::cmdEntry_Click() {
    if (!check_entry(m_state, m_prompter))
        return;
    if (!m_entryDialog)
        m_entryDialog = new EntryDialog(m_state, m_prompter, this);
    // The export clears entryChanged itself; the grid shows nothing that the export changes.
    m_entryDialog->start_entry();
}

// ---- menus ----

void MainWindow::show_opened_entry() {
    notify_data_replaced();
    m_optCouple->setChecked(true);
    switch_view();
}

void MainWindow::mnu_new_entry_Click() {
    if (command_new_entry(m_state, m_prompter))
        show_opened_entry();
}

void MainWindow::mnu_open_ently_Click() {
    if (command_open_entry(m_state, m_prompter))
        show_opened_entry();
}

void MainWindow::mnu_save_entry_Click() {
    command_save_entry(m_state, m_prompter);
}

void MainWindow::mnu_save_change_filename_Click() {
    // The caption names the entry file, which has just changed its name.
    if (command_save_entry_as(m_state, m_prompter) && m_viewMode == 2)
        show_entry_caption();
}

void MainWindow::mnu__save_member_Click() {
    command_save_members(m_state, m_prompter);
}

void MainWindow::mnu_Uni_Click() {
    EntryDialog::start_uniinf(m_state, m_prompter, this);
}

void MainWindow::mnu_up_Grade_Click() {
    run_year_advance(m_state, m_prompter);
    // The roster, the open entry or both may have been rewritten (also when the command stopped half-way
    // after a failed write); show what is in memory now.
    m_memberList->fill(m_state);
    if (!m_state.entryFileName.isEmpty())
        fill_couple_grid();
    show_view_caption();
    notify_data_replaced();
}

void MainWindow::mnu_member_out_Click() {
    run_member_text_export(m_state, m_prompter, *m_memberList);
}

// ---- dialogs ----

MemberEditor* MainWindow::ensureMemberEditor() {
    if (!m_memberEditor) {
        m_memberEditor = new MemberEditor(m_state, m_prompter, this);
        connect(m_memberEditor, &MemberEditor::membersStored, this, [this] {
            expression_member_in_lvw();
            notify_data_replaced();
        });
    }
    return m_memberEditor;
}

CoupleEditor* MainWindow::ensureCoupleEditor() {
    if (!m_coupleEditor) {
        m_coupleEditor = new CoupleEditor(m_state, m_prompter, this);
        connect(m_coupleEditor, &CoupleEditor::coupleStored, this, [this] {
            fill_couple_grid();
            show_view_caption();
        });
    }
    return m_coupleEditor;
}

void MainWindow::notify_data_replaced() {
    if (m_coupleEditor)
        m_coupleEditor->dataReplaced();
}

// ---- end ----

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    // A save that was answered Yes and failed keeps the program open, so the data can still be saved.
    if (!ask_save_changes(m_state, false, m_prompter)) {
        event->ignore();
        return;
    }
    m_closing = true;
    QList<QPointer<QWidget>> others;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != this && widget->isVisible())
            others.append(widget);
    }
    for (const QPointer<QWidget>& widget : others) {
        if (widget)
            widget->close();
    }
    event->accept();
    emit programEnded();
}
