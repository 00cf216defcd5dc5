#include "documentlayout.h"

#include "printrenderer.h"

#include <QPagedPaintDevice>

namespace printlayout {

DocumentLayout::DocumentLayout(const PrintDocument& document, QPagedPaintDevice& device)
    : m_doc(document), m_device(device) {
    m_units.dpi = device.logicalDpiY();
    m_width = device.width();
    m_height = device.height();
    m_pad = QPointF(m_units.mm(1.2), m_units.mm(0.8));
    m_thinPen = QPen(kRuleColor, m_units.pt(0.4));
    m_blockPen = QPen(Qt::black, m_units.pt(0.9));
    layOutHeading();
    layOutColumns();
    layOutTable();
    paginate();
}

const SizedFont& DocumentLayout::sized(qreal points, bool bold) const {
    const int key = int(points * 100) * 2 + (bold ? 1 : 0);
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        const QFont font = print_font(points, bold);
        found = m_fonts.emplace(key, SizedFont{font, QFontMetricsF(font, &m_device)}).first;
    }
    return found->second;
}

TextFit DocumentLayout::fit(const QString& text, qreal points, qreal minPoints, qreal width, bool bold) const {
    const SizedFont& base = sized(points, bold);
    return fit_text(text, base.font, base.metrics, minPoints, width, &m_device);
}

qreal DocumentLayout::advance(const QString& text, qreal points, bool bold) const {
    return text.isEmpty() ? 0 : sized(points, bold).metrics.horizontalAdvance(text);
}

void DocumentLayout::layOutHeading() {
    m_headingLines.push_back(fit(m_doc.title, kTitlePoints, kCellMinPoints, m_width, true));
    for (const QString& line : m_doc.heading)
        m_headingLines.push_back(fit(line, kHeadingPoints, kCellMinPoints, m_width));
    m_headingHeight = m_units.mm(2);
    for (const TextFit& line : m_headingLines)
        m_headingHeight += line.height;
    m_headingHeight += m_units.mm(4);
    m_footerHeight = sized(kFooterPoints).metrics.height() + m_units.mm(3);
}

void DocumentLayout::layOutColumns() {
    const qsizetype count = m_doc.columns.size();
    std::vector<qreal> natural(size_t(count), 0);
    for (qsizetype c = 0; c < count; ++c)
        natural[size_t(c)] = advance(m_doc.columns[c].title, kTitleRowPoints, true);
    for (const PrintBlock& block : m_doc.blocks) {
        for (const PrintRow& row : block.rows) {
            for (qsizetype c = 0; c < count && c < row.size(); ++c) {
                qreal& width = natural[size_t(c)];
                width = std::max(width, advance(row[c].text, kCellPoints));
                if (!row[c].reading.isEmpty())
                    width = std::max(width, advance(row[c].reading, kReadingPoints));
            }
        }
    }
    for (const PrintTotals& totals : m_doc.totals) {
        for (qsizetype c = 0; c < count && c < totals.cells.size(); ++c)
            natural[size_t(c)] = std::max(natural[size_t(c)], advance(totals.cells[c], kCellPoints));
    }
    const qreal minimum = m_units.mm(6);
    for (qreal& width : natural)
        width = std::max(width + 2 * m_pad.x(), minimum);

    m_columnWidths.assign(size_t(count), 0);
    qreal fixed = 0;
    std::vector<size_t> wrapping;
    for (qsizetype c = 0; c < count; ++c) {
        if (m_doc.columns[c].wraps) {
            wrapping.push_back(size_t(c));
        } else {
            m_columnWidths[size_t(c)] = natural[size_t(c)];
            fixed += natural[size_t(c)];
        }
    }
    qreal left = m_width - fixed;
    const qreal wrapMinimum = m_units.mm(18) * qreal(wrapping.size());
    if (left < wrapMinimum && count > 0) {
        // A page too narrow for the fixed columns (a small paper size chosen in the print dialog): every
        // column gets its share of the width by its widest text, and the texts shrink and wrap in it.
        qreal total = 0;
        for (qreal width : natural)
            total += width;
        for (size_t c = 0; c < size_t(count); ++c)
            m_columnWidths[c] = natural[c] * m_width / total;
    } else {
        std::vector<size_t> open = wrapping;
        bool settled = false;
        while (!settled && !open.empty()) {
            settled = true;
            int weights = 0;
            for (size_t c : open)
                weights += std::max(1, m_doc.columns[qsizetype(c)].weight);
            for (auto it = open.begin(); it != open.end();) {
                const qreal share = left * std::max(1, m_doc.columns[qsizetype(*it)].weight) / weights;
                if (natural[*it] <= share) {
                    m_columnWidths[*it] = natural[*it];
                    left -= natural[*it];
                    it = open.erase(it);
                    settled = false;
                    break; // the shares of the others change
                }
                ++it;
            }
        }
        int weights = 0;
        for (size_t c : open)
            weights += std::max(1, m_doc.columns[qsizetype(c)].weight);
        for (size_t c : open)
            m_columnWidths[c] = left * std::max(1, m_doc.columns[qsizetype(c)].weight) / weights;
        if (open.empty() && !wrapping.empty()) {
            // Every text fits: the room over widens the wrapping columns.
            int all = 0;
            for (size_t c : wrapping)
                all += std::max(1, m_doc.columns[qsizetype(c)].weight);
            for (size_t c : wrapping)
                m_columnWidths[c] += left * std::max(1, m_doc.columns[qsizetype(c)].weight) / all;
        }
    }
    m_columnLefts.assign(size_t(count) + 1, 0);
    for (size_t c = 0; c < size_t(count); ++c)
        m_columnLefts[c + 1] = m_columnLefts[c] + m_columnWidths[c];
}

CellFit DocumentLayout::fitCell(const PrintCell& cell, size_t c) const {
    CellFit result;
    result.text = fit(cell.text, kCellPoints, kCellMinPoints, innerWidth(c));
    result.hasReading = !cell.reading.isEmpty();
    if (result.hasReading)
        result.reading = fit(cell.reading, kReadingPoints, kReadingMinPoints, innerWidth(c));
    return result;
}

void DocumentLayout::layOutTable() {
    const size_t count = size_t(m_doc.columns.size());
    m_titleRow.cells.clear();
    m_titleRow.height = 0;
    for (size_t c = 0; c < count; ++c) {
        CellFit title;
        title.text = fit(m_doc.columns[qsizetype(c)].title, kTitleRowPoints, 6, innerWidth(c), true);
        m_titleRow.height = std::max(m_titleRow.height, title.contentHeight());
        m_titleRow.cells.push_back(title);
    }
    m_titleRow.height += 2 * m_pad.y();

    const qreal minimumRow = sized(kCellPoints).metrics.height() + 2 * m_pad.y();
    for (const PrintBlock& block : m_doc.blocks) {
        LaidBlock laid;
        std::vector<qreal> spanned(count, 0); // what each spanning cell needs
        for (const PrintRow& row : block.rows) {
            LaidRow laidRow;
            laidRow.height = minimumRow;
            for (size_t c = 0; c < count; ++c) {
                const PrintCell cell = qsizetype(c) < row.size() ? row[qsizetype(c)] : PrintCell{};
                const bool spans = m_doc.columns[qsizetype(c)].spansBlock;
                if (spans && !laid.rows.empty()) {
                    laidRow.cells.push_back(CellFit{});
                    continue;
                }
                laidRow.cells.push_back(fitCell(cell, c));
                const qreal needed = laidRow.cells.back().contentHeight() + 2 * m_pad.y();
                if (spans)
                    spanned[c] = needed;
                else
                    laidRow.height = std::max(laidRow.height, needed);
            }
            laid.height += laidRow.height;
            laid.rows.push_back(std::move(laidRow));
        }
        if (!laid.rows.empty()) {
            // A spanning cell taller than all the rows of its block makes the last row taller.
            const qreal tallest = *std::max_element(spanned.begin(), spanned.end());
            if (tallest > laid.height) {
                laid.rows.back().height += tallest - laid.height;
                laid.height = tallest;
            }
        }
        m_items.push_back(Item{Item::Block, int(m_blocks.size()), laid.height});
        m_blocks.push_back(std::move(laid));
    }

    // A totals row stands under the columns: a document without columns has none to show.
    for (const PrintTotals& totals : m_doc.totals) {
        if (count == 0)
            break;
        LaidRow row;
        row.height = minimumRow;
        const qsizetype labelEnd = labelColumns(totals);
        CellFit label;
        label.text = fit(totals.label, kCellPoints, kCellMinPoints,
                         std::max<qreal>(m_columnLefts[size_t(labelEnd)] - 2 * m_pad.x(), 1));
        row.height = std::max(row.height, label.contentHeight() + 2 * m_pad.y());
        row.cells.push_back(label);
        for (size_t c = size_t(labelEnd); c < count; ++c) {
            row.cells.push_back(fitCell(PrintCell{totals.cells.value(qsizetype(c)), {}}, c));
            row.height = std::max(row.height, row.cells.back().contentHeight() + 2 * m_pad.y());
        }
        m_items.push_back(Item{Item::Totals, int(m_totals.size()), row.height});
        m_totals.push_back(std::move(row));
    }

    if (!m_doc.closing.isEmpty()) {
        qreal height = m_units.mm(3);
        for (const QString& line : m_doc.closing) {
            m_closing.push_back(fit(line, kHeadingPoints, kCellMinPoints, m_width));
            height += m_closing.back().height;
        }
        m_items.push_back(Item{Item::Closing, 0, height});
    }
}

qsizetype DocumentLayout::labelColumns(const PrintTotals& totals) const {
    qsizetype c = 0;
    while (c < m_doc.columns.size() && totals.cells.value(c).isEmpty())
        ++c;
    return std::max<qsizetype>(1, std::min(c, m_doc.columns.size()));
}

void DocumentLayout::paginate() {
    const qreal bottom = m_height - m_footerHeight;
    m_pages.push_back(Page{true, -1, {}});
    qreal y = m_headingHeight;
    const auto startPage = [&] {
        m_pages.push_back(Page{});
        y = 0;
    };
    const auto openTable = [&] {
        m_pages.back().titleRowTop = y;
        y += m_titleRow.height;
    };
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const bool needsTitleRow = item.inTable() && m_pages.back().titleRowTop < 0;
        const qreal needed = item.height + (needsTitleRow ? m_titleRow.height : 0);
        const qreal freshRoom = bottom - (item.inTable() ? m_titleRow.height : 0);
        // An item that does not fit goes to the next page, unless it would not fit on a page of its own.
        if (y + needed > bottom && (!m_pages.back().placements.empty() || item.height <= freshRoom))
            startPage();
        if (item.inTable() && m_pages.back().titleRowTop < 0)
            openTable();
        qreal offset = 0;
        for (;;) {
            const qreal room = std::max<qreal>(bottom - y, m_units.mm(5));
            const qreal shown = std::min(room, item.height - offset);
            m_pages.back().placements.push_back(Placement{int(i), y, offset, shown});
            y += shown;
            offset += shown;
            if (offset >= item.height - 0.5)
                break;
            startPage();
            if (item.inTable())
                openTable();
        }
    }
}

} // namespace printlayout
