#pragma once

#include "couplegrid.h"

#include <QTableView>

class CoupleGridModel;

// mfg_couple: the couple grid of the main window. A table without visible headers over CoupleGridModel;
// row 0 is an ordinary row that only looks like a title row and can be clicked; a column's right border in
// that row can be dragged, as in a header, to widen or narrow the column. It keeps a current cell,
// set by every click, and a contiguous selection whose rows run from the current row to a second row
// (extended by dragging or a shift-click). From the keyboard, Enter asks to open the couple of the current
// row, Delete asks to delete, and Space acts as a click on the current cell.
class CoupleGridView : public QTableView {
    Q_OBJECT
public:
    explicit CoupleGridView(QWidget* parent = nullptr);

    // Prepares the columns, widths, alignment and colours and leaves the grid with the title row only.
    void setUpGrid();

    // Replaces all rows. The current cell is kept where it still exists; otherwise the current row
    // becomes row 0 and the current column is kept.
    void setRows(const CoupleGridRows& rows);
    const CoupleGridRows& rows() const;

    // The current cell and the other end of the selected row range.
    GridCursor cursor() const;
    // Makes (row, column) the current cell and the whole selection, as a click would.
    void setCurrentCell(int row, int column);
    // Makes the first row of couple `couple` (a position in `couples`) the current row, keeping the current
    // column, and scrolls it into view. False when no row shows that couple.
    bool showCouple(qint32 couple);

    // The widths the user gave the columns by dragging, one per column (0: the designed width), and the widths
    // of an earlier start put back.
    QList<int> userColumnWidths() const { return m_userWidths; }
    void setUserColumnWidths(const QList<int>& widths);

    // The width in which every column is shown whole, frame and vertical scroll bar included.
    int widthForAllColumns() const;

signals:
    // A single click (press and release on one cell), after that cell became the current cell. The
    // second click of a double click is reported only as cellDoubleClicked.
    void cellClicked();
    void cellDoubleClicked();
    // Enter (either key) and the Delete key.
    void openRequested();
    void deleteRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The column whose right border in the title row is under `pos` (viewport coordinates), or -1.
    int columnBorderAt(const QPoint& pos) const;
    void applyUserWidths();

    CoupleGridModel* m_model;
    QList<int> m_userWidths;
    int m_resizedColumn = -1; // the column whose border is being dragged
    int m_dragStartX = 0;
    int m_dragStartWidth = 0;
    bool m_inDoubleClick = false;
};
