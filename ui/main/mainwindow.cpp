#include "mainwindow.h"

#include "coupleeditor.h"
#include "couplegridview.h"
#include "dialogsupport.h"
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
} // namespace

using dialogsupport::named;

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
    connect(m_memberViewOption, &QRadioButton::clicked, this, &MainWindow::switchView);
    connect(m_coupleViewOption, &QRadioButton::clicked, this, &MainWindow::switchView);
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
    connect(notifier, &StateNotifier::couplesChanged, this, &MainWindow::refreshCoupleView);
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

// ---- start, views and layout ----

void MainWindow::openWindow() {
    // The designed client area first, so that the initial layout has the designed size to work with.
    const QSize designClient = twips::size(kDesignClientWidth, kDesignClientHeight, this);
    layoutButtonRow();
    const int top = twips::toPixelsY(kButtonHeight, this);
    m_memberList->setGeometry(0, top, designClient.width(), std::max(0, designClient.height() - top));
    m_coupleGrid->setGeometry(m_memberList->geometry());

    m_memberList->setUpColumns();
    m_coupleGrid->setUpGrid();
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
    switchView();
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

void MainWindow::switchView() {
    if (m_memberViewOption->isChecked()) {
        m_viewMode = ViewMode::Members;
        m_history->showArea(EditArea::Roster);
        giveSaveKeyToView();
        m_coupleGrid->hide();
        m_memberList->show();
        refillMemberList();
        fitViewsToWindow();
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
        switchView();
        return;
    }
    enableEntryCommands();
    m_viewMode = ViewMode::Couples;
    m_history->showArea(EditArea::Entry);
    giveSaveKeyToView();
    m_memberList->hide();
    m_coupleGrid->show();
    refillCoupleGrid();
    showEntryCaption();
    fitViewsToWindow();
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

void MainWindow::fitViewsToWindow() {
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
        fitViewsToWindow();
    else if (watched == m_memberList->viewport() && event->type() == QEvent::MouseButtonDblClick)
        editClickedMember();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showViewCaption() {
    // The caption always describes the view that is shown: a refill of the hidden member list (after the
    // year advance, or an editor's OK) does not put the member count over the couple grid, nor the reverse.
    if (m_viewMode == ViewMode::Couples)
        showEntryCaption();
    else
        setWindowTitle(QStringLiteral("メンバー数 : ") + QString::number(m_state.memberCount) + QStringLiteral(" 人"));
}

// ---- member view ----

void MainWindow::refillMemberList() {
    m_memberList->fill(m_state);
    showViewCaption();
}

// ---- couple view ----

void MainWindow::refreshCoupleView() {
    refillCoupleGrid();
    showViewCaption();
}

void MainWindow::refillCoupleGrid() {
    m_coupleGrid->setRows(build_couple_grid_rows(m_state));
}

void MainWindow::showEntryCaption() {
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
