#include "memberlistview.h"

#include "dialogsupport.h"
#include "japanesefont.h"
#include "roster.h"
#include "twips.h"
#include "vocabulary.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {
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
    connect(header(), &QHeaderView::sectionClicked, this, &MemberListView::column_click);
}

void MemberListView::setup_member_columns() {
    clear();
    setColumnCount(0);
    setFont(ms_p_gothic(12));
    const QStringList titles = {QStringLiteral("名前"), QStringLiteral("かな"),     QStringLiteral("回生"),
                                QStringLiteral("学部"), QStringLiteral("出身高校"), QStringLiteral("役割")};
    setColumnCount(int(titles.size()));
    setHeaderLabels(titles);
    const int defaultWidth = twips::toPixelsX(kDefaultColumnTwips, this);
    for (int column = 0; column < kColumnCount; ++column) {
        setColumnHidden(column, false);
        setColumnWidth(column, defaultWidth);
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
    for (size_t i = 0; i < roster.size(); ++i) {
        const MemberRecord& member = roster[i];
        auto* item = new MemberListItem(
            QStringList{dialogsupport::shown_text(member.name), dialogsupport::shown_text(member.kana),
                        QString::number(member.year), dialogsupport::shown_text(member.department),
                        dialogsupport::shown_text(member.highschool), role_text(member)});
        item->setData(0, kPositionRole, qint32(i));
        items.append(item);
    }
    addTopLevelItems(items);
    if (m_sorted)
        sortItems(m_lastSortColumn, m_sortOrder);
}

void MemberListView::column_click(int column) {
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

int MemberListView::count_selected_members() const {
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
