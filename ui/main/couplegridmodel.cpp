#include "couplegridmodel.h"

#include "dialogsupport.h"

#include <QBrush>

CoupleGridModel::CoupleGridModel(QObject* parent)
    : QAbstractTableModel(parent), m_titleBackground(QPalette().color(QPalette::Dark)) {}

void CoupleGridModel::setRows(const CoupleGridRows& rows) {
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void CoupleGridModel::setTitlePalette(const QPalette& palette) {
    m_titleBackground = palette.color(QPalette::Dark);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(0, kGridColumnCount - 1), {Qt::BackgroundRole});
}

int CoupleGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CoupleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumnCount;
}

QVariant CoupleGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= kGridColumnCount)
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return dialogsupport::shown_text(m_rows.at(row).text(column));
    case CouplePositionRole:
        return m_rows.at(row).couple;
    case PartnerPositionRole:
        return m_rows.at(row).partner;
    case Qt::TextAlignmentRole:
        if (column == kGridColLeader || column == kGridColPartner)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignTop));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::BackgroundRole:
        if (row == 0)
            return QBrush(m_titleBackground);
        return {};
    case Qt::ForegroundRole:
        if (row == 0)
            return QBrush(QColor(255, 255, 255));
        return {};
    case Qt::ToolTipRole:
        // The English titles are kept as they are; their meaning shows when the pointer rests on them.
        if (row == 0)
            return couple_grid_title_tips().value(column);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags CoupleGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant CoupleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kGridColumnCount)
        return couple_grid_titles().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
