#pragma once

#include "couplegrid.h"

#include <QAbstractTableModel>
#include <QPalette>

// The couple grid as a table model: every row is shown as it was built by build_couple_grid_rows. Row 0 is an
// ordinary row that looks like a title row (button-shadow background, white text); columns 1 and 2 are aligned
// left and top, all others centred. Every cell of a row carries the positions of the record it shows in the
// two position roles (-1 on the title row). The horizontal header data are the titles of row 0, so that the
// accessible table (a screen reader) names every column although the view shows no header.
class CoupleGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        CouplePositionRole = Qt::UserRole, // qint32: the couple's position in `couples`
        PartnerPositionRole                // qint32: the partner's position in that couple
    };

    explicit CoupleGridModel(QObject* parent = nullptr);

    // Replaces every row at once (a full refill; the views drop their current cell and selection).
    void setRows(const CoupleGridRows& rows);
    const CoupleGridRows& rows() const { return m_rows; }

    // The colours of row 0, taken from the palette of the view that shows the grid.
    void setTitlePalette(const QPalette& palette);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    CoupleGridRows m_rows;
    QColor m_titleBackground;
};
