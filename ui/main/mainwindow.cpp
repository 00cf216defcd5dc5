#include "mainwindow.h"

#include "coupleeditor.h"
#include "couplegridview.h"
#include "entrycommands.h"
#include "entrydialog.h"
#include "japanesefont.h"
#include "membereditor.h"
#include "memberlistview.h"
#include "menubarkeys.h"
#include "printcommands.h"
#include "twips.h"
#include "undohistory.h"
#include "usersettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QUndoGroup>

namespace {
// The designed layout, in twips.
constexpr int kDesignClientWidth = 4965;
constexpr int kDesignClientHeight = 5145;
constexpr int kButtonHeight = 375;
constexpr int kAddDelWidth = 930;
constexpr int kOptionWidth = 1215;
constexpr int kEntryButtonWidth = 2130;
constexpr int kButtonGap = 100;

template <typename Control> Control* named(Control* control, const char* objectName) {
    control->setObjectName(QLatin1String(objectName));
    return control;
}

// The platform's standard keys for a command; `fallback` where the platform has none for it (no platform binds
// "save as" everywhere, and some none for "quit").
void setStandardShortcut(QAction* action, QKeySequence::StandardKey key, const QKeySequence& fallback) {
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    action->setShortcuts(keys.isEmpty() ? QList<QKeySequence>{fallback} : keys);
}
} // namespace

MainWindow::MainWindow(AppState& state, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_prompter(prompter) {
    setObjectName(QStringLiteral("frm_main"));
    setFont(ms_p_gothic(9));
    // The history follows the state before any view does, so that every edit is a step before a view reacts.
    m_history = new UndoHistory(m_state, this);
    createControls();
    createMenus();
    addShortcuts();
    enable_menu_bar_keys(this);

    connect(m_addButton, &QPushButton::clicked, this, &MainWindow::addRecord);
    connect(m_deleteButton, &QPushButton::clicked, this, &MainWindow::deleteRecords);
    connect(m_exportButton, &QPushButton::clicked, this, &MainWindow::exportEntry);
    connect(m_memberViewOption, &QRadioButton::clicked, this, &MainWindow::switch_view);
    connect(m_coupleViewOption, &QRadioButton::clicked, this, &MainWindow::switch_view);
    connect(m_memberList, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { rememberClickedMember(item); });
    connect(m_coupleGrid, &CoupleGridView::cellClicked, this, &MainWindow::switchClickedCell);
    connect(m_coupleGrid, &CoupleGridView::cellDoubleClicked, this, &MainWindow::editCurrentCouple);
    connect(m_memberList, &MemberListView::openRequested, this, &MainWindow::editCurrentMember);
    connect(m_memberList, &MemberListView::deleteRequested, this, &MainWindow::deleteRecords);
    connect(m_coupleGrid, &CoupleGridView::openRequested, this, &MainWindow::editCurrentRowCouple);
    connect(m_coupleGrid, &CoupleGridView::deleteRequested, this, &MainWindow::deleteRecords);

    // The views follow the state: whoever changes the roster or the couples tells the notifier.
    StateNotifier* notifier = m_state.notifier.get();
    connect(notifier, &StateNotifier::rosterChanged, this, &MainWindow::refillMemberList);
    connect(notifier, &StateNotifier::couplesChanged, this, [this] {
        fill_couple_grid();
        showViewCaption();
    });
    connect(notifier, &StateNotifier::entryFileChanged, this, &MainWindow::showViewCaption);

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

void MainWindow::createControls() {
    m_client = named(new QWidget(this), "client_area");
    setCentralWidget(m_client);
    m_memberList = named(new MemberListView(m_client), "lvw_member");
    m_coupleGrid = named(new CoupleGridView(m_client), "mfg_couple");
    m_addButton = named(new QPushButton(QStringLiteral("追加"), m_client), "cmd_add");
    m_deleteButton = named(new QPushButton(QStringLiteral("削除"), m_client), "cmd_del");
    m_memberViewOption = named(new QRadioButton(QStringLiteral("メンバー表示"), m_client), "optMember");
    m_memberViewOption->setChecked(true);
    m_coupleViewOption = named(new QRadioButton(QStringLiteral("カップル表示"), m_client), "optCouple");
    m_exportButton = named(new QPushButton(QStringLiteral("エントリーファイル出力"), m_client), "cmdEntry");
    // What a screen reader calls the list and the grid, which have no caption of their own.
    m_memberList->setAccessibleName(QStringLiteral("メンバー一覧"));
    m_coupleGrid->setAccessibleName(QStringLiteral("カップル一覧"));

    setTabOrder(m_memberList, m_coupleGrid);
    setTabOrder(m_coupleGrid, m_addButton);
    setTabOrder(m_addButton, m_deleteButton);
    setTabOrder(m_deleteButton, m_memberViewOption);
    setTabOrder(m_memberViewOption, m_coupleViewOption);
    setTabOrder(m_coupleViewOption, m_exportButton);

    m_memberList->hide();
    m_coupleGrid->hide();
}

void MainWindow::createMenus() {
    m_fileMenu = named(menuBar()->addMenu(QStringLiteral("ファイル")), "mnu_file");
    m_editMenu = named(menuBar()->addMenu(QStringLiteral("編集")), "mnu_edit");
    m_optionMenu = named(menuBar()->addMenu(QStringLiteral("オプション")), "mnu_option");
    m_helpMenu = named(menuBar()->addMenu(QStringLiteral("ヘルプ")), "mnu_help");

    const auto add = [this](QMenu* menu, const char* name, const QString& caption, void (MainWindow::*command)()) {
        QAction* action = named(menu->addAction(caption), name);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    const auto separator = [](QMenu* menu, const char* name) { named(menu->addSeparator(), name); };

    m_newEntryAction =
        add(m_fileMenu, "mnu_new_entry", QStringLiteral("エントリーファイル新規作成"), &MainWindow::newEntryFile);
    m_openEntryAction =
        add(m_fileMenu, "mnu_open_ently", QStringLiteral("エントリーファイルを開く"), &MainWindow::openEntryFile);
    separator(m_fileMenu, "mnu_tmp");
    m_saveEntryAction =
        add(m_fileMenu, "mnu_save_entry", QStringLiteral("エントリーファイルの上書き保存"), &MainWindow::saveEntryFile);
    m_saveEntryAsAction = add(m_fileMenu, "mnu_save_change_filename",
                              QStringLiteral("エントリーファイルを名前を付けて保存"), &MainWindow::saveEntryFileAs);
    separator(m_fileMenu, "mnu_tmp2");
    m_saveMembersAction =
        add(m_fileMenu, "mnu__save_member", QStringLiteral("メンバーファイル保存"), &MainWindow::saveMemberFile);
    separator(m_fileMenu, "mnu_tmp1");
    m_printPreviewAction =
        add(m_fileMenu, "mnu_print_preview", QStringLiteral("印刷プレビュー"), &MainWindow::previewPrint);
    m_printAction = add(m_fileMenu, "mnu_print", QStringLiteral("印刷"), &MainWindow::printDocuments);
    m_pdfAction = add(m_fileMenu, "mnu_pdf", QStringLiteral("PDF出力"), &MainWindow::exportPdf);
    separator(m_fileMenu, "mnu_print_separator");
    m_quitAction = named(m_fileMenu->addAction(QStringLiteral("終了")), "mnu_end");
    connect(m_quitAction, &QAction::triggered, this, &QWidget::close);

    // "元に戻す メンバー削除": the caption names the step; with nothing to undo it is "元に戻す", disabled.
    m_undoAction = named(m_history->group()->createUndoAction(this, QStringLiteral("元に戻す")), "mnu_undo");
    m_redoAction = named(m_history->group()->createRedoAction(this, QStringLiteral("やり直し")), "mnu_redo");
    m_editMenu->addAction(m_undoAction);
    m_editMenu->addAction(m_redoAction);

    m_universityAction = add(m_optionMenu, "mnu_Uni", QStringLiteral("大学情報変更"), &MainWindow::editUniversityInfo);
    add(m_optionMenu, "mnu_game_names", QStringLiteral("試合名の編集"), &MainWindow::editGameNames);
    m_advanceYearsAction = add(m_optionMenu, "mnu_up_Grade", QStringLiteral("すべてのメンバーの学年を１つあげる"),
                               &MainWindow::advanceYears);
    m_memberTextAction =
        add(m_optionMenu, "mnu_member_out", QStringLiteral("メンバーテキスト出力"), &MainWindow::exportMemberText);
    m_memberImportAction =
        add(m_optionMenu, "mnu_member_import", QStringLiteral("メンバーCSV取り込み"), &MainWindow::importMembers);

    m_guideAction = add(m_helpMenu, "mnu_guide", QStringLiteral("使い方"), &MainWindow::showGuide);
    m_openDataFolderAction =
        add(m_helpMenu, "mnu_open_data_folder", QStringLiteral("データフォルダを開く"), &MainWindow::openDataFolder);
    m_aboutAction = add(m_helpMenu, "mnu_about", QStringLiteral("バージョン情報"), &MainWindow::showAbout);
}

void MainWindow::addShortcuts() {
    setStandardShortcut(m_newEntryAction, QKeySequence::New, QKeySequence(Qt::CTRL | Qt::Key_N));
    setStandardShortcut(m_openEntryAction, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setStandardShortcut(m_saveEntryAction, QKeySequence::Save, QKeySequence(Qt::CTRL | Qt::Key_S));
    setStandardShortcut(m_saveEntryAsAction, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    setStandardShortcut(m_printAction, QKeySequence::Print, QKeySequence(Qt::CTRL | Qt::Key_P));
    setStandardShortcut(m_quitAction, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_guideAction->setShortcut(QKeySequence(Qt::Key_F1));
    // Undo and redo get the keys of Windows and of Linux both, whatever the platform binds.
    m_undoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    m_redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
}

void MainWindow::giveSaveKeyToView() {
    const bool members = m_viewMode != ViewMode::Couples;
    (members ? m_saveEntryAction : m_saveMembersAction)->setShortcuts({});
    setStandardShortcut(members ? m_saveMembersAction : m_saveEntryAction, QKeySequence::Save,
                        QKeySequence(Qt::CTRL | Qt::Key_S));
}

// ---- start, views and layout ----

void MainWindow::start_main() {
    // The designed client area first, so that the initial layout has the designed size to work with.
    const QSize designClient = twips::size(kDesignClientWidth, kDesignClientHeight, this);
    layoutButtonRow();
    const int top = twips::toPixelsY(kButtonHeight, this);
    m_memberList->setGeometry(0, top, designClient.width(), std::max(0, designClient.height() - top));
    m_coupleGrid->setGeometry(m_memberList->geometry());

    m_memberList->setup_member_columns();
    m_coupleGrid->setup_couple_grid();
    m_coupleGrid->hide();
    // The list's frame is added so that the columns fit inside it without a horizontal scroll bar.
    const int columnsWidth = m_memberList->totalColumnWidth() + 2 * m_memberList->frameWidth();

    m_exportButton->setEnabled(false);
    m_saveEntryAction->setEnabled(false);
    m_saveEntryAsAction->setEnabled(false);

    // The client area becomes exactly as wide as the member list's columns; the height stays as designed.
    resize(columnsWidth, menuBar()->sizeHint().height() + designClient.height());
    // Then what the user arranged at an earlier start, when the program keeps it.
    restoreUserSettings();
    show();
    switch_view();
}

void MainWindow::restoreUserSettings() {
    const std::unique_ptr<QSettings> settings = usersettings::open();
    if (!settings)
        return;
    const QVariantList widths = settings->value(QLatin1String(usersettings::kMemberColumnWidths)).toList();
    QList<int> userWidths;
    for (const QVariant& width : widths)
        userWidths << width.toInt();
    m_memberList->setUserColumnWidths(userWidths);
    QList<int> gridWidths;
    for (const QVariant& width : settings->value(QLatin1String(usersettings::kCoupleColumnWidths)).toList())
        gridWidths << width.toInt();
    m_coupleGrid->setUserColumnWidths(gridWidths);
    const QByteArray geometry = settings->value(QLatin1String(usersettings::kMainWindowGeometry)).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}

void MainWindow::saveUserSettings() const {
    const std::unique_ptr<QSettings> settings = usersettings::open();
    if (!settings)
        return;
    settings->setValue(QLatin1String(usersettings::kMainWindowGeometry), saveGeometry());
    QVariantList widths;
    for (int width : m_memberList->userColumnWidths())
        widths << width;
    settings->setValue(QLatin1String(usersettings::kMemberColumnWidths), widths);
    QVariantList gridWidths;
    for (int width : m_coupleGrid->userColumnWidths())
        gridWidths << width;
    settings->setValue(QLatin1String(usersettings::kCoupleColumnWidths), gridWidths);
}

void MainWindow::layoutButtonRow() {
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
    const std::pair<QAbstractButton*, int> row[] = {{m_addButton, kAddDelWidth},
                                                    {m_deleteButton, kAddDelWidth},
                                                    {m_memberViewOption, kOptionWidth},
                                                    {m_coupleViewOption, kOptionWidth},
                                                    {m_exportButton, kEntryButtonWidth}};
    int left = 0;
    for (const auto& [control, designWidth] : row) {
        // The option buttons stand apart from the buttons on either side of them.
        if (control == m_memberViewOption || control == m_exportButton)
            left += gap;
        control->setGeometry(left, 0, width(control, designWidth), height);
        left = control->geometry().right() + 1;
    }
}

void MainWindow::switch_view() {
    if (m_memberViewOption->isChecked()) {
        m_viewMode = ViewMode::Members;
        m_history->showArea(EditArea::Roster);
        giveSaveKeyToView();
        m_coupleGrid->hide();
        m_memberList->show();
        refillMemberList();
        resize_main_view();
        m_exportButton->setEnabled(false);
        m_addButton->setFocus();
        return;
    }
    if (m_state.entryFileName.isEmpty()) {
        m_prompter.showMessage(
            QStringLiteral("現在ファイルが選択されていません。\rメニューにある新規作成か、ファイルを読"
                           "み込みを行ってください。"),
            Prompter::Icon::Information);
        m_memberViewOption->setChecked(true);
        switch_view();
        return;
    }
    enableEntryCommands();
    m_viewMode = ViewMode::Couples;
    m_history->showArea(EditArea::Entry);
    giveSaveKeyToView();
    m_memberList->hide();
    m_coupleGrid->show();
    fill_couple_grid();
    show_entry_caption();
    resize_main_view();
    widenToShowTheGrid();
    m_addButton->setFocus();
}

void MainWindow::widenToShowTheGrid() {
    const int missing = m_coupleGrid->widthForAllColumns() - m_client->width();
    if (missing <= 0 || isMaximized() || isFullScreen())
        return; // a window the user made wide enough keeps its width
    const QRect frame = frameGeometry();
    int wanted = width() + missing;
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        wanted = std::min(wanted, area.width() - (frame.width() - width()));
        // The widened window stays on the screen: it moves left as far as its right edge would stick out.
        const int overhang = frame.x() + (frame.width() - width()) + wanted - (area.x() + area.width());
        if (overhang > 0)
            move(std::max(area.x(), frame.x() - overhang), frame.y());
    }
    if (wanted > width())
        resize(wanted, height());
}

void MainWindow::enableEntryCommands() {
    m_exportButton->setEnabled(true);
    m_saveEntryAction->setEnabled(true);
    m_saveEntryAsAction->setEnabled(true);
}

void MainWindow::resize_main_view() {
    if (isMinimized() || m_viewMode == ViewMode::None)
        return;
    const int width = m_client->width();
    // A client area lower than the button row leaves the list with no height rather than a negative one.
    const int height = std::max(0, m_client->height() - twips::toPixelsY(kButtonHeight, this));
    if (m_viewMode == ViewMode::Members) {
        m_memberList->resize(width, height);
    } else {
        m_memberList->hide();
        m_coupleGrid->resize(width, height);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize)
        resize_main_view();
    else if (watched == m_memberList->viewport() && event->type() == QEvent::MouseButtonDblClick)
        editClickedMember();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showViewCaption() {
    // The caption always describes the view that is shown: a refill of the hidden member list (after the
    // year advance, or an editor's OK) does not put the member count over the couple grid, nor the reverse.
    if (m_viewMode == ViewMode::Couples)
        show_entry_caption();
    else
        setWindowTitle(QStringLiteral("メンバー数 : ") + QString::number(m_state.memberCount) + QStringLiteral(" 人"));
}

// ---- member view ----

void MainWindow::refillMemberList() {
    m_memberList->fill(m_state);
    showViewCaption();
}

// ---- couple view ----

void MainWindow::fill_couple_grid() {
    m_coupleGrid->setRows(build_couple_grid_rows(m_state));
}

void MainWindow::show_entry_caption() {
    setWindowTitle(entry_caption(m_state));
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
    saveUserSettings();
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
