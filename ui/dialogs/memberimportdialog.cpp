#include "memberimportdialog.h"

#include "japanesefont.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kStatusColumn = kMemberColumnCount; // the column after the member's six

// The rows the header measures when it fits the columns to their texts: enough to see typical widths,
// few enough that a table of thousands of rows opens at once.
constexpr int kMeasuredRows = 200;

// Refused rows: their texts in the disabled colour, the reason in red.
const QColor kRefusedReason(0xC0, 0x00, 0x00);

template <typename Control> Control* named(Control* control, const char* objectName) {
    control->setObjectName(QLatin1String(objectName));
    return control;
}

} // namespace

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
    m_table->setHorizontalHeaderLabels({QStringLiteral("名前"), QStringLiteral("かな"), QStringLiteral("回生"),
                                        QStringLiteral("学部"), QStringLiteral("出身高校"), QStringLiteral("役割"),
                                        QStringLiteral("状態")});
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
    resize(std::max(m_table->horizontalHeader()->length() + 60, 640), 480);

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
            auto* item = new QTableWidgetItem(cells[column]);
            if (!candidate.importable())
                item->setForeground(column == kStatusColumn ? kRefusedReason : refusedText);
            m_table->setItem(row, column, item);
        }
        if (!candidate.roleGiven)
            m_rowsWithoutRole.append(row);
    }
    m_table->resizeColumnsToContents();
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
