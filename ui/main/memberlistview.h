#pragma once

#include "records.h"

#include <QList>
#include <QTreeWidget>

// lvw_member: the roster in report style, one row per member, several rows selectable. A hidden seventh
// column holds each row's member position in `members`, the only link from a row back to its member.
// A click on a column header sorts by that column's text (Japanese collation); once sorted, the list
// stays sorted by that column through every refill.
class MemberListView : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kPositionColumn = 6;
    static constexpr int kDefaultColumnTwips = 1440;

    explicit MemberListView(QWidget* parent = nullptr);

    // Removes any columns and sets up the seven columns with their titles and widths.
    void setup_member_columns();
    // Sum of the widths of all columns, in pixels.
    int totalColumnWidth() const;

    // Rebuilds every row from the roster, in stored order, then applies the sort if one was chosen.
    void fill(const AppState& state);

    // The header click on column `column`: descending when the list is ascending and `column` is the
    // column sorted last, ascending otherwise.
    void column_click(int column);

    int lastSortColumn() const { return m_lastSortColumn; }
    Qt::SortOrder sortOrderOfList() const { return m_sortOrder; }
    bool isSorted() const { return m_sorted; }

    // The member position stored in `item`, or -1 when it cannot be read.
    static qint32 memberPosition(const QTreeWidgetItem* item);
    // The member positions of the selected rows, from the top row down.
    QList<qint32> selectedPositions() const;
    // The member positions of all rows from the top row down; an unreadable row gives 0.
    QList<qint32> displayOrder() const;

    int count_selected_members() const;
    void clear_lvw_selection();

private:
    int m_lastSortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
};
