#include "couplegridview.h"

#include "couplegridmodel.h"
#include "dialogsupport.h"
#include "japanesefont.h"
#include "twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include <cstdlib>

namespace {
constexpr int kNameColumnTwips = 1500;
constexpr int kDanceColumnTwips = 500;
constexpr int kBorderGrip = 3;      // pixels either side of a border that take the drag
constexpr int kNarrowestColumn = 8; // a dragged column stays wide enough to be found again
} // namespace

CoupleGridView::CoupleGridView(QWidget* parent) : QTableView(parent), m_model(new CoupleGridModel(this)) {
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    viewport()->setMouseTracking(true); // the resize pointer over a border of the title row
    m_model->setTitlePalette(palette());

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex&) {
        if (m_inDoubleClick)
            return;
        emit cellClicked();
    });
}

void CoupleGridView::setUpGrid() {
    hide();
    m_model->setRows({});
    setFont(ms_p_gothic(12));
    const int rowHeight = fontMetrics().height() + 4;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    m_model->setRows({CoupleGridRow{couple_grid_titles()}});
    m_model->setTitlePalette(palette());
    setCurrentCell(0, 0);

    setColumnWidth(kGridColLeader, twips::toPixelsX(kNameColumnTwips, this));
    setColumnWidth(kGridColPartner, twips::toPixelsX(kNameColumnTwips, this));
    for (int column = kGridColFirstDance; column <= kGridColLastDance; ++column)
        setColumnWidth(column, twips::toPixelsX(kDanceColumnTwips, this));
    applyUserWidths();
    show();
}

void CoupleGridView::setUserColumnWidths(const QList<int>& widths) {
    m_userWidths.clear();
    for (int column = 0; column < m_model->columnCount(); ++column)
        m_userWidths << std::max(0, widths.value(column));
    applyUserWidths();
}

void CoupleGridView::applyUserWidths() {
    for (int column = 0; column < m_userWidths.size() && column < m_model->columnCount(); ++column) {
        if (m_userWidths[column] > 0)
            setColumnWidth(column, std::max(kNarrowestColumn, m_userWidths[column]));
    }
}

int CoupleGridView::columnBorderAt(const QPoint& pos) const {
    if (rowAt(pos.y()) != 0)
        return -1;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (isColumnHidden(column))
            continue;
        const int border = columnViewportPosition(column) + columnWidth(column);
        if (std::abs(pos.x() - border) <= kBorderGrip)
            return column;
    }
    return -1;
}

void CoupleGridView::setRows(const CoupleGridRows& rows) {
    const QModelIndex current = currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    const int row = current.isValid() ? current.row() : 0;
    m_model->setRows(rows);
    if (m_model->rowCount() == 0)
        return;
    // The column always exists; a row that is gone leaves the grid on row 0.
    setCurrentCell(row < m_model->rowCount() ? row : 0, column);
}

const CoupleGridRows& CoupleGridView::rows() const {
    return m_model->rows();
}

GridCursor CoupleGridView::cursor() const {
    GridCursor result;
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        result.row = current.row();
        result.column = current.column();
    }
    result.otherRow = result.row;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return result;
    int top = selected.constFirst().row();
    int bottom = top;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
    }
    // The current row is one end of the range (the anchor stays, the current cell moves); the other end
    // is the row sought.
    result.otherRow = result.row == top ? bottom : top;
    return result;
}

void CoupleGridView::setCurrentCell(int row, int column) {
    const QModelIndex index = m_model->index(row, column);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

bool CoupleGridView::showCouple(qint32 couple) {
    const CoupleGridRows& all = rows();
    for (int row = 0; row < all.size(); ++row) {
        if (all[row].isCoupleRow() && all[row].couple == couple) {
            const QModelIndex current = currentIndex();
            setCurrentCell(row, current.isValid() ? current.column() : 0);
            scrollTo(currentIndex());
            return true;
        }
    }
    return false;
}

int CoupleGridView::widthForAllColumns() const {
    int width = 2 * frameWidth();
    for (int column = 0; column < m_model->columnCount(); ++column)
        width += isColumnHidden(column) ? 0 : columnWidth(column);
    // Room for the vertical scroll bar, which appears as soon as the rows outgrow the grid.
    return width + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
}

void CoupleGridView::keyPressEvent(QKeyEvent* event) {
    const QModelIndex current = currentIndex();
    switch (dialogsupport::command_key(event)) {
    case dialogsupport::CommandKey::Open:
        emit openRequested();
        break;
    case dialogsupport::CommandKey::Delete:
        emit deleteRequested();
        break;
    case dialogsupport::CommandKey::Switch:
        // As a click on the current cell: it becomes the whole selection, then the click is reported.
        if (current.isValid()) {
            setCurrentCell(current.row(), current.column());
            emit cellClicked();
        }
        break;
    case dialogsupport::CommandKey::None:
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CoupleGridView::mousePressEvent(QMouseEvent* event) {
    m_inDoubleClick = false;
    const int border = event->button() == Qt::LeftButton ? columnBorderAt(event->position().toPoint()) : -1;
    if (border >= 0) {
        // A drag on a border of the title row resizes the column and is no click on a cell.
        m_resizedColumn = border;
        m_dragStartX = event->position().toPoint().x();
        m_dragStartWidth = columnWidth(border);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void CoupleGridView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_resizedColumn >= 0) {
        setColumnWidth(m_resizedColumn, std::max(kNarrowestColumn, m_dragStartWidth + pos.x() - m_dragStartX));
        event->accept();
        return;
    }
    if (event->buttons() == Qt::NoButton && columnBorderAt(pos) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
    QTableView::mouseMoveEvent(event);
}

void CoupleGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of the double click has already been reported (and may have rebuilt the grid, which
    // makes the item view forget the pressed cell); the second one is reported only as the double click.
    m_inDoubleClick = true;
    if (m_resizedColumn >= 0 || columnBorderAt(event->position().toPoint()) >= 0) {
        event->accept(); // a double click on a border opens nothing
        return;
    }
    if (indexAt(event->position().toPoint()).isValid())
        emit cellDoubleClicked();
    event->accept();
}

void CoupleGridView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_resizedColumn >= 0) {
        while (m_userWidths.size() < m_model->columnCount())
            m_userWidths << 0;
        m_userWidths[m_resizedColumn] = columnWidth(m_resizedColumn);
        m_resizedColumn = -1;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
    m_inDoubleClick = false;
}

void CoupleGridView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        m_model->setTitlePalette(palette());
}
