#include "memberimportdialog.h"

#include "dialogsupport.h"
#include "japanesefont.h"
#include "textcheck.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kStatusColumn = kMemberColumnCount; // the column after the member's six

// The rows the header measures when it fits the columns to their texts: enough to see typical widths,
// few enough that a table of thousands of rows opens at once.
constexpr int kMeasuredRows = 200;

// Refused rows: their texts in the disabled colour, the reason in red.
const QColor kRefusedReason(0xC0, 0x00, 0x00);

// A member column is at most as wide as kMemberPreviewCharacters full-width characters; a longer text is cut off
// at the column's edge and shown whole in the cell's tooltip.
constexpr int kMaxColumnCharacters = kMemberPreviewCharacters;
// A tooltip breaks its text into lines of this many characters and shows at most this many of them.
constexpr qsizetype kTipLineLength = 40;
constexpr qsizetype kTipMaxCharacters = 1000;

// Whether a cell may not show its whole text: longer than a column holds, or more than one line.
bool mayBeCut(const QString& text) {
    return text.size() > kMaxColumnCharacters || first_control_character(text) >= 0;
}

// The text of a cell's tooltip: the whole text in lines short enough for any screen, its line breaks and
// tabs kept. A text beyond what a tooltip can sensibly show ends with its length.
QString tipText(const QString& text) {
    const QString shown = text.left(kTipMaxCharacters);
    QString tip;
    tip.reserve(shown.size() + shown.size() / kTipLineLength + 32);
    qsizetype lineLength = 0;
    for (const QChar c : shown) {
        if (c == u'\r')
            continue; // CR LF is one line break
        if (c == u'\n') {
            lineLength = -1;
        } else if (lineLength == kTipLineLength) {
            tip += u'\n';
            lineLength = 0;
        }
        ++lineLength;
        tip += c;
    }
    if (text.size() > shown.size())
        tip += QStringLiteral("…\n（全%1文字）").arg(QLocale(QLocale::Japanese).toString(text.size()));
    return tip;
}

} // namespace

using dialogsupport::named;

MemberImportDialog::MemberImportDialog(AppState& state, QList<ImportCandidate> candidates, QWidget* parent)
    : QDialog(parent), m_state(state), m_candidates(std::move(candidates)) {
    setObjectName(QStringLiteral("frm_member_import"));
    setWindowTitle(QStringLiteral("メンバー取り込み"));
    setFont(ms_p_gothic(9));
    setModal(true);

    m_table = named(new QTableWidget(this), "grd_import");
    m_table->setAccessibleName(QStringLiteral("取り込むメンバーの一覧"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setWordWrap(false);
    m_table->setColumnCount(kStatusColumn + 1);
    m_table->setHorizontalHeaderLabels(member_column_titles() << QStringLiteral("状態"));
    m_table->horizontalHeader()->setResizeContentsPrecision(kMeasuredRows);
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto* roleGroup = named(new QGroupBox(QStringLiteral("役割が空の行"), this), "fra_import_role");
    roleGroup->setAccessibleName(QStringLiteral("役割が空の行の役割"));
    m_leaderOption = named(new QRadioButton(QStringLiteral("Leader"), roleGroup), "opt_import_leader");
    m_partnerOption = named(new QRadioButton(QStringLiteral("Partner"), roleGroup), "opt_import_partner");
    m_leaderOption->setChecked(true);
    auto* roleLayout = new QHBoxLayout(roleGroup);
    roleLayout->addWidget(m_leaderOption);
    roleLayout->addWidget(m_partnerOption);

    const qint32 importable = importable_count(m_candidates);
    m_importButton = named(new QPushButton(QStringLiteral("取り込み（%1人）").arg(importable), this), "cmd_import");
    m_importButton->setEnabled(importable > 0);
    m_importButton->setDefault(importable > 0);
    m_importButton->setAutoDefault(importable > 0);
    m_cancelButton = named(new QPushButton(QStringLiteral("キャンセル"), this), "cmd_import_cancel");
    m_cancelButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(roleGroup);
    buttons->addStretch(1);
    buttons->addWidget(m_importButton, 0, Qt::AlignBottom);
    buttons->addWidget(m_cancelButton, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    // Why nothing can be imported, when the whole table was read without knowing its columns.
    const QString note = import_note(m_candidates);
    if (!note.isEmpty()) {
        auto* noteLabel = named(new QLabel(note, this), "lbl_import_note");
        noteLabel->setWordWrap(true);
        noteLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(noteLabel);
    }
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    setTabOrder(m_table, m_leaderOption);
    setTabOrder(m_leaderOption, m_partnerOption);
    setTabOrder(m_partnerOption, m_importButton);
    setTabOrder(m_importButton, m_cancelButton);

    fillTable();
    m_table->setFocus(Qt::OtherFocusReason);
    // As wide as the columns, but never wider or taller than the screen it opens on.
    QSize size(std::max(m_table->horizontalHeader()->length() + 60, 640), 480);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);

    connect(m_leaderOption, &QRadioButton::toggled, this, &MemberImportDialog::showDefaultRole);
    connect(m_importButton, &QPushButton::clicked, this, &MemberImportDialog::importRows);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

quint8 MemberImportDialog::defaultRole() const {
    return m_partnerOption->isChecked() ? 1 : 0;
}

void MemberImportDialog::fillTable() {
    // One pass with painting and sorting off: the table is filled once, whatever its size.
    m_table->setUpdatesEnabled(false);
    m_table->setSortingEnabled(false);
    m_table->setRowCount(int(m_candidates.size()));
    const QColor refusedText = palette().color(QPalette::Disabled, QPalette::Text);
    const quint8 role = defaultRole();
    for (int row = 0; row < m_candidates.size(); ++row) {
        const ImportCandidate& candidate = m_candidates[row];
        const QStringList cells = preview_cells(candidate, role);
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(dialogsupport::shown_text(cells[column]));
            if (mayBeCut(cells[column]))
                item->setToolTip(tipText(cells[column]));
            if (!candidate.importable())
                item->setForeground(column == kStatusColumn ? kRefusedReason : refusedText);
            m_table->setItem(row, column, item);
        }
        if (!candidate.roleGiven)
            m_rowsWithoutRole.append(row);
    }
    m_table->resizeColumnsToContents();
    // The member columns stop at a readable width; the state column is the program's own short text.
    const int maxWidth = m_table->fontMetrics().horizontalAdvance(QString(kMaxColumnCharacters, QChar(0x3042))) +
                         2 * m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    for (int column = 0; column < kStatusColumn; ++column) {
        if (m_table->columnWidth(column) > maxWidth)
            m_table->setColumnWidth(column, maxWidth);
    }
    m_table->setUpdatesEnabled(true);
    if (!m_candidates.isEmpty())
        m_table->setCurrentCell(0, 0, QItemSelectionModel::NoUpdate);
}

void MemberImportDialog::showDefaultRole() {
    m_table->setUpdatesEnabled(false);
    const quint8 role = defaultRole();
    for (const int row : m_rowsWithoutRole)
        m_table->item(row, kMemberColRole)->setText(preview_cells(m_candidates[row], role).at(kMemberColRole));
    m_table->setUpdatesEnabled(true);
}

void MemberImportDialog::importRows() {
    import_members(m_state, m_candidates, defaultRole());
    accept();
}
