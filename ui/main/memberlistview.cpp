#include "memberlistview.h"

#include "japanesefont.h"
#include "twips.h"
#include "vocabulary.h"

#include <QCollator>
#include <QHeaderView>
#include <QLocale>

namespace {
// Rows compare by the text of the sort column, as a Japanese reader orders it (kana in gojūon order,
// full- and half-width forms together).
const QCollator& japaneseCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Japanese, QLocale::Japan));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

class MemberListItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        return japaneseCollator().compare(text(column), other.text(column)) < 0;
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
    const QStringList titles = {QStringLiteral("名前"),
                                QStringLiteral("かな"),
                                QStringLiteral("回生"),
                                QStringLiteral("学部"),
                                QStringLiteral("出身高校"),
                                QStringLiteral("役割"),
                                QString()};
    setColumnCount(int(titles.size()));
    setHeaderLabels(titles);
    const int defaultWidth = twips::toPixelsX(kDefaultColumnTwips, this);
    for (int column = 0; column < kPositionColumn; ++column) {
        setColumnHidden(column, false);
        setColumnWidth(column, defaultWidth);
    }
    setColumnWidth(kPositionColumn, 0);
    setColumnHidden(kPositionColumn, true);
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
    const qint32 count = std::min<qint32>(state.memberCount, qint32(state.members.size()));
    items.reserve(std::max(count, 0));
    for (qint32 i = 0; i < count; ++i) {
        const MemberRecord& member = state.members.at(i);
        auto* item =
            new MemberListItem(QStringList{member.name, member.kana, QString::number(member.year), member.department,
                                           member.highschool, role_text(member), QString::number(i)});
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
    if (!item)
        return -1;
    bool ok = false;
    const qint32 position = item->text(kPositionColumn).toInt(&ok);
    return ok ? position : -1;
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

QList<qint32> MemberListView::displayOrder() const {
    QList<qint32> result;
    result.reserve(topLevelItemCount());
    for (int row = 0; row < topLevelItemCount(); ++row)
        result.append(std::max<qint32>(memberPosition(topLevelItem(row)), 0));
    return result;
}

int MemberListView::count_selected_members() const {
    int count = 0;
    for (int row = 0; row < topLevelItemCount(); ++row)
        count += topLevelItem(row)->isSelected() ? 1 : 0;
    return count;
}

void MemberListView::clear_lvw_selection() {
    for (int row = 0; row < topLevelItemCount(); ++row)
        topLevelItem(row)->setSelected(false);
}
