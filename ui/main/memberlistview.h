#pragma once

#include "membercolumns.h"
#include "records.h"

#include <QList>
#include <QTreeWidget>

#include <array>

// lvw_member: the roster in report style, one row per member, several rows selectable. Every row keeps its
// member's position in `members` in the item data of its first column, the only link from a row back to its
// member. A click on a column header sorts by that column's text (Japanese collation); once sorted, the list
// stays sorted by that column through every refill. Enter on the current row asks to open its member, Delete
// asks to delete the selected members.
//
// Every refill makes each column as wide as its longest text, never narrower than designed; a column whose
// divider the user dragged keeps the width the user gave it.
class MemberListView : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kColumnCount = kMemberColumnCount;
    static constexpr int kDefaultColumnTwips = kMemberColumnTwips;
    static constexpr int kPositionRole = Qt::UserRole; // qint32 in column 0

    explicit MemberListView(QWidget* parent = nullptr);

    // Removes any columns and sets up the six columns with their titles and widths.
    void setUpColumns();
    // Sum of the widths of all columns, in pixels.
    int totalColumnWidth() const;

    // The widths the user gave the columns by dragging, one per column, 0 for a column fitted to its texts.
    QList<int> userColumnWidths() const { return m_userWidths; }
    // Takes such widths (kept from an earlier start) and applies them; missing or invalid entries read as 0.
    void setUserColumnWidths(const QList<int>& widths);

    // Rebuilds every row from the roster, in stored order, then applies the sort if one was chosen.
    void fill(const AppState& state);

    // The header click on column `column`: descending when the list is ascending and `column` is the
    // column sorted last, ascending otherwise.
    void sortByClickedColumn(int column);

    int lastSortColumn() const { return m_lastSortColumn; }
    Qt::SortOrder sortOrderOfList() const { return m_sortOrder; }
    bool isSorted() const { return m_sorted; }

    // The member position kept by `item`, or -1 for no item.
    static qint32 memberPosition(const QTreeWidgetItem* item);
    // The member positions of the selected rows, from the top row down.
    QList<qint32> selectedPositions() const;

    int selectedMemberCount() const;

signals:
    // Enter (either key) while the list has a current row.
    void openRequested();
    // The Delete key.
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Each column as wide as the user made it, or as its longest text and title but at least as designed.
    void fitColumns();
    void rememberUserWidth(int column, int width);

    QList<int> m_userWidths = QList<int>(kColumnCount, 0);
    std::array<int, kColumnCount> m_widestTexts{}; // the widest text of each column, measured by the last fill
    bool m_fitting = false;                        // the widths being set are the program's, not the user's
    int m_lastSortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sorted = false;
};
