#include "memberlistview.h"

#include "dialogsupport.h"
#include "japanesefont.h"
#include "roster.h"
#include "twips.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyle>

#include <algorithm>
#include <array>
#include <vector>

namespace {
// The widest text of each column in a font. A text is first estimated as the sum of its characters' advances,
// every character measured once; only the few texts estimated widest are then measured whole, since shaping can
// join or kern characters. So a roster of thousands costs little more than adding up its characters.
class ColumnTextWidths {
public:
    ColumnTextWidths(const QFont& font, qsizetype rows) : m_metrics(font), m_advances(0x10000, -1) {
        for (QList<std::pair<int, QString>>& estimates : m_estimates)
            estimates.reserve(rows);
    }

    void add(int column, const QString& text) {
        int width = 0;
        for (const QChar c : text) {
            int& advance = m_advances[c.unicode()];
            if (advance < 0)
                advance = c.isSurrogate() ? m_metrics.maxWidth() : m_metrics.horizontalAdvance(c);
            width += advance;
        }
        m_estimates[size_t(column)].append({width, text});
    }

    int widest(int column) {
        constexpr qsizetype kMeasuredWhole = 16;
        QList<std::pair<int, QString>>& estimates = m_estimates[size_t(column)];
        const qsizetype measured = std::min(kMeasuredWhole, estimates.size());
        std::partial_sort(estimates.begin(), estimates.begin() + measured, estimates.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
        int widest = 0;
        for (qsizetype i = 0; i < measured; ++i)
            widest = std::max({widest, estimates[i].first, m_metrics.horizontalAdvance(estimates[i].second)});
        return widest;
    }

private:
    QFontMetrics m_metrics;
    std::vector<int> m_advances; // by UTF-16 code unit; -1 until measured
    std::array<QList<std::pair<int, QString>>, MemberListView::kColumnCount> m_estimates;
};

// Rows compare by the text of the sort column, as a Japanese reader orders it (as shown: a text longer than a cell
// shows counts by its first kMaxShownCharacters characters).
class MemberListItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return compare_japanese(text(column), other.text(column)) < 0;
    }
};
} // namespace

MemberListView::MemberListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(header(), &QHeaderView::sectionClicked, this, &MemberListView::sortByClickedColumn);
    connect(header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { rememberUserWidth(column, width); });
}

void MemberListView::setUpColumns() {
    clear();
    m_widestTexts.fill(0);
    setColumnCount(0);
    setFont(ms_p_gothic(12));
    const QStringList titles = member_column_titles();
    setColumnCount(int(titles.size()));
    setHeaderLabels(titles);
    const int defaultWidth = twips::toPixelsX(kDefaultColumnTwips, this);
    const QScopedValueRollback fitting(m_fitting, true);
    for (int column = 0; column < kColumnCount; ++column) {
        setColumnHidden(column, false);
        setColumnWidth(column, defaultWidth);
    }
}

void MemberListView::setUserColumnWidths(const QList<int>& widths) {
    for (int column = 0; column < kColumnCount; ++column)
        m_userWidths[column] = std::max(0, widths.value(column));
    fitColumns();
}

void MemberListView::rememberUserWidth(int column, int width) {
    if (!m_fitting && column >= 0 && column < kColumnCount)
        m_userWidths[column] = width;
}

void MemberListView::fitColumns() {
    if (columnCount() < kColumnCount)
        return; // the columns are not set up yet
    const QScopedValueRollback fitting(m_fitting, true);
    const int designed = twips::toPixelsX(kDefaultColumnTwips, this);
    // A cell's text stands inside the focus frame's margin and one pixel on either side.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    for (int column = 0; column < kColumnCount; ++column) {
        const int user = m_userWidths[column];
        setColumnWidth(column, user > 0 ? user
                                        : std::max({designed, m_widestTexts[size_t(column)] + margins,
                                                    header()->sectionSizeHint(column)}));
    }
}

int MemberListView::totalColumnWidth() const {
    int sum = 0;
    for (int column = 0; column < columnCount(); ++column)
        sum += isColumnHidden(column) ? 0 : columnWidth(column);
    return sum;
}

void MemberListView::fill(const AppState& state) {
    clear();
    QList<QTreeWidgetItem*> items;
    const std::span<const MemberRecord> roster = state.roster();
    items.reserve(qsizetype(roster.size()));
    ColumnTextWidths widths(font(), qsizetype(roster.size()));
    for (size_t i = 0; i < roster.size(); ++i) {
        const MemberRecord& member = roster[i];
        QStringList texts = member_column_texts(member);
        for (int column = 0; column < kColumnCount; ++column) {
            texts[column] = dialogsupport::shown_text(texts[column]);
            widths.add(column, texts[column]);
        }
        auto* item = new MemberListItem(texts);
        item->setData(0, kPositionRole, qint32(i));
        items.append(item);
    }
    for (int column = 0; column < kColumnCount; ++column)
        m_widestTexts[size_t(column)] = widths.widest(column);
    addTopLevelItems(items);
    if (m_sorted)
        sortItems(m_lastSortColumn, m_sortOrder);
    fitColumns();
}

void MemberListView::sortByClickedColumn(int column) {
    if (m_sortOrder == Qt::AscendingOrder && column == m_lastSortColumn)
        m_sortOrder = Qt::DescendingOrder;
    else
        m_sortOrder = Qt::AscendingOrder;
    m_sorted = true;
    m_lastSortColumn = column;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, m_sortOrder);
    sortItems(column, m_sortOrder);
}

qint32 MemberListView::memberPosition(const QTreeWidgetItem* item) {
    return item ? item->data(0, kPositionRole).value<qint32>() : -1;
}

QList<qint32> MemberListView::selectedPositions() const {
    QList<qint32> result;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = topLevelItem(row);
        if (item->isSelected())
            result.append(memberPosition(item));
    }
    return result;
}

int MemberListView::selectedMemberCount() const {
    int count = 0;
    for (int row = 0; row < topLevelItemCount(); ++row)
        count += topLevelItem(row)->isSelected() ? 1 : 0;
    return count;
}

void MemberListView::keyPressEvent(QKeyEvent* event) {
    switch (dialogsupport::command_key(event)) {
    case dialogsupport::CommandKey::Open:
        if (currentItem())
            emit openRequested();
        event->accept();
        return;
    case dialogsupport::CommandKey::Delete:
        emit deleteRequested();
        event->accept();
        return;
    case dialogsupport::CommandKey::Switch:
    case dialogsupport::CommandKey::None:
        break;
    }
    QTreeWidget::keyPressEvent(event);
}
