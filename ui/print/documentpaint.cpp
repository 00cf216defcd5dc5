#include "documentlayout.h"

#include <QPainter>

namespace printlayout {

void DocumentLayout::paintPage(QPainter& painter, int p) const {
    const Page& page = m_pages[size_t(p)];
    painter.save();
    if (page.heading)
        paintHeading(painter);
    if (page.titleRowTop >= 0)
        paintTitleRow(painter, page.titleRowTop);
    for (const Placement& placement : page.placements) {
        const Item& item = m_items[size_t(placement.item)];
        painter.save();
        m_band = Band();
        if (placement.offset > 0 || placement.shown < item.height) {
            m_band = Band{placement.top, placement.top + placement.shown};
            painter.setClipRect(QRectF(-m_units.mm(1), placement.top, m_width + m_units.mm(2), placement.shown));
        }
        paintItem(painter, item, placement.top - placement.offset);
        painter.restore();
    }
    m_band = Band();
    painter.setPen(Qt::black);
    painter.setFont(sized(kFooterPoints).font);
    const QString footer = QStringLiteral("%1 / %2").arg(p + 1).arg(pageCount());
    painter.drawText(QRectF(0, m_height - m_footerHeight, m_width, m_footerHeight),
                     int(Qt::AlignHCenter | Qt::AlignBottom), footer);
    painter.restore();
}

void DocumentLayout::paintHeading(QPainter& painter) const {
    painter.setPen(Qt::black);
    qreal y = 0;
    for (const TextFit& line : m_headingLines) {
        draw_fitted_text(painter, line, QRectF(0, y, m_width, line.height), Qt::AlignLeft);
        y += line.height;
        if (&line == &m_headingLines.front())
            y += m_units.mm(2);
    }
}

QRectF DocumentLayout::cellBox(size_t first, size_t last, qreal top, qreal height) const {
    return QRectF(m_columnLefts[first], top, m_columnLefts[last + 1] - m_columnLefts[first], height);
}

void DocumentLayout::paintCell(QPainter& painter, const CellFit& cell, const QRectF& box,
                               Qt::Alignment alignment) const {
    if (cell.text.text.isEmpty() && !cell.hasReading)
        return;
    const QRectF inner = box.adjusted(m_pad.x(), m_pad.y(), -m_pad.x(), -m_pad.y());
    const qreal top = inner.top() + std::max<qreal>(0, (inner.height() - cell.contentHeight()) / 2);
    painter.setPen(Qt::black);
    draw_fitted_text(painter, cell.text, QRectF(inner.left(), top, inner.width(), cell.text.height), alignment, m_band);
    if (cell.hasReading) {
        painter.setPen(kReadingColor);
        draw_fitted_text(painter, cell.reading,
                         QRectF(inner.left(), top + cell.text.height, inner.width(), cell.reading.height), alignment,
                         m_band);
    }
}

std::vector<size_t> DocumentLayout::innerEdges(size_t from) const {
    std::vector<size_t> edges;
    for (size_t c = std::max<size_t>(from, 1); c + 1 < m_columnLefts.size(); ++c)
        edges.push_back(c);
    return edges;
}

Qt::Alignment DocumentLayout::alignmentOf(size_t c) const {
    return m_doc.columns[qsizetype(c)].centred ? Qt::AlignHCenter : Qt::AlignLeft;
}

void DocumentLayout::paintTitleRow(QPainter& painter, qreal top) const {
    painter.fillRect(
        QRectF(m_columnLefts.front(), top, m_columnLefts.back() - m_columnLefts.front(), m_titleRow.height),
        kTitleRowFill);
    for (size_t c = 0; c < m_titleRow.cells.size(); ++c)
        paintCell(painter, m_titleRow.cells[c], cellBox(c, c, top, m_titleRow.height), Qt::AlignHCenter);
    paintRules(painter, top, {m_titleRow.height}, innerEdges(0), {});
}

void DocumentLayout::paintItem(QPainter& painter, const Item& item, qreal top) const {
    switch (item.kind) {
    case Item::Block:
        paintBlock(painter, m_blocks[size_t(item.index)], top);
        break;
    case Item::Totals:
        paintTotals(painter, m_totals[size_t(item.index)], m_doc.totals[item.index], top);
        break;
    case Item::Closing: {
        painter.setPen(Qt::black);
        qreal y = top + m_units.mm(3);
        for (const TextFit& line : m_closing) {
            draw_fitted_text(painter, line, QRectF(0, y, m_width, line.height), Qt::AlignLeft, m_band);
            y += line.height;
        }
        break;
    }
    }
}

void DocumentLayout::paintBlock(QPainter& painter, const LaidBlock& block, qreal top) const {
    qreal y = top;
    std::vector<qreal> heights;
    std::vector<bool> across(m_doc.columns.size(), false);
    for (size_t r = 0; r < block.rows.size(); ++r) {
        const LaidRow& row = block.rows[r];
        for (size_t c = 0; c < row.cells.size(); ++c) {
            const bool spans = m_doc.columns[qsizetype(c)].spansBlock;
            across[c] = !spans;
            if (!spans)
                paintCell(painter, row.cells[c], cellBox(c, c, y, row.height), alignmentOf(c));
            else if (r == 0)
                paintCell(painter, row.cells[c], cellBox(c, c, top, block.height), alignmentOf(c));
        }
        heights.push_back(row.height);
        y += row.height;
    }
    paintRules(painter, top, heights, innerEdges(0), across);
}

void DocumentLayout::paintTotals(QPainter& painter, const LaidRow& row, const PrintTotals& totals, qreal top) const {
    const size_t labelEnd = size_t(labelColumns(totals));
    paintCell(painter, row.cells.front(), cellBox(0, labelEnd - 1, top, row.height), Qt::AlignRight);
    for (size_t c = labelEnd; c < m_columnWidths.size(); ++c)
        paintCell(painter, row.cells[c - labelEnd + 1], cellBox(c, c, top, row.height), alignmentOf(c));
    paintRules(painter, top, {row.height}, innerEdges(labelEnd), {});
}

void DocumentLayout::paintRules(QPainter& painter, qreal top, const std::vector<qreal>& rowHeights,
                                const std::vector<size_t>& edges, const std::vector<bool>& across) const {
    qreal height = 0;
    for (qreal h : rowHeights)
        height += h;
    const qreal left = m_columnLefts.front();
    const qreal right = m_columnLefts.back();
    QList<QLineF> lines;
    lines << QLineF(left, top + height, right, top + height) << QLineF(left, top, left, top + height)
          << QLineF(right, top, right, top + height);
    for (size_t c : edges)
        lines << QLineF(m_columnLefts[c], top, m_columnLefts[c], top + height);
    qreal y = top;
    for (size_t r = 0; r + 1 < rowHeights.size(); ++r) {
        y += rowHeights[r];
        // One line over each run of columns the row's cells close.
        for (size_t c = 0; c < across.size();) {
            if (!across[c]) {
                ++c;
                continue;
            }
            size_t end = c;
            while (end < across.size() && across[end])
                ++end;
            lines << QLineF(m_columnLefts[c], y, m_columnLefts[end], y);
            c = end;
        }
    }
    painter.setPen(m_thinPen);
    painter.drawLines(lines);
    // A heavier rule above each item sets the couples (or members) apart.
    painter.setPen(m_blockPen);
    painter.drawLine(QLineF(left, top, right, top));
}

} // namespace printlayout
