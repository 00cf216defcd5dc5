#pragma once

#include "couplegrid.h"

#include <QTableView>

class CoupleGridModel;

// mfg_couple: the couple grid of the main window. A table without visible headers over CoupleGridModel;
// row 0 is an ordinary row that only looks like a title row and can be clicked. It keeps a current cell,
// set by every click, and a contiguous selection whose rows run from the current row to a second row
// (extended by dragging or a shift-click).
class CoupleGridView : public QTableView {
    Q_OBJECT
public:
    explicit CoupleGridView(QWidget* parent = nullptr);

    // Prepares the columns, widths, alignment and colours and leaves the grid with the title row only.
    void setup_couple_grid();

    // Replaces all rows. The current cell is kept where it still exists; otherwise the current row
    // becomes row 0 and the current column is kept.
    void setRows(const CoupleGridRows& rows);
    const CoupleGridRows& rows() const;

    // The current cell and the other end of the selected row range.
    GridCursor cursor() const;
    // Makes (row, column) the current cell and the whole selection, as a click would.
    void setCurrentCell(int row, int column);

signals:
    // A single click (press and release on one cell), after that cell became the current cell. The
    // second click of a double click is reported only as cellDoubleClicked.
    void cellClicked();
    void cellDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CoupleGridModel* m_model;
    bool m_inDoubleClick = false;
};
