#include "printrenderer.h"

#include "textfit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <map>
#include <vector>

namespace {

// Sizes in points: the text of the table, the kana under a name, the title row, the heading, the page footer.
constexpr qreal kCellPoints = 10;
constexpr qreal kCellMinPoints = 7.5; // a long text is set smaller down to this size, then wrapped
constexpr qreal kReadingPoints = 7;
constexpr qreal kReadingMinPoints = 5.5;
constexpr qreal kTitleRowPoints = 9;
constexpr qreal kTitlePoints = 16;
constexpr qreal kHeadingPoints = 10.5;
constexpr qreal kFooterPoints = 9;
constexpr qreal kPageMarginMm = 15;

const QColor kTitleRowFill(0xE4, 0xE4, 0xE4);
const QColor kReadingColor(0x40, 0x40, 0x40);
const QColor kRuleColor(0x50, 0x50, 0x50);

// Lengths on the device, which counts in its own pixels.
struct Units {
    qreal dpi = 72;
    qreal mm(qreal millimetres) const { return millimetres * dpi / 25.4; }
    qreal pt(qreal points) const { return points * dpi / 72; }
};

struct SizedFont {
    QFont font;
    QFontMetricsF metrics;
};

// One cell: its text and, under it, the reading in a smaller size.
struct CellFit {
    TextFit text;
    TextFit reading;
    bool hasReading = false;
    qreal contentHeight() const { return text.height + (hasReading ? reading.height : 0); }
};

struct LaidRow {
    std::vector<CellFit> cells;
    qreal height = 0;
};

struct LaidBlock {
    std::vector<LaidRow> rows;
    qreal height = 0;
};

// Something placed on the pages, in order: a block of the table, a totals row, or the closing lines.
struct Item {
    enum Kind { Block, Totals, Closing } kind = Block;
    int index = 0;
    qreal height = 0;
    bool inTable() const { return kind != Closing; }
};

// A part of an item on one page: the item is drawn at `top`, shifted up by `offset` and cut at `top + shown`.
// Only an item taller than a whole page is ever shown in more than one part.
struct Placement {
    int item = 0;
    qreal top = 0;
    qreal offset = 0;
    qreal shown = 0;
};

struct Page {
    bool heading = false;
    qreal titleRowTop = -1; // < 0: no table on this page
    std::vector<Placement> placements;
};

class DocumentLayout {
public:
    DocumentLayout(const PrintDocument& document, QPagedPaintDevice& device) : m_doc(document), m_device(device) {
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

    int pageCount() const { return int(m_pages.size()); }

    void paintPage(QPainter& painter, int p) const {
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

private:
    // ---- measuring ----

    // The font of a size with its metrics on this device, made once: a list measures thousands of texts.
    const SizedFont& sized(qreal points, bool bold = false) const {
        const int key = int(points * 100) * 2 + (bold ? 1 : 0);
        auto found = m_fonts.find(key);
        if (found == m_fonts.end()) {
            const QFont font = print_font(points, bold);
            found = m_fonts.emplace(key, SizedFont{font, QFontMetricsF(font, &m_device)}).first;
        }
        return found->second;
    }

    TextFit fit(const QString& text, qreal points, qreal minPoints, qreal width, bool bold = false) const {
        const SizedFont& base = sized(points, bold);
        return fit_text(text, base.font, base.metrics, minPoints, width, &m_device);
    }

    qreal advance(const QString& text, qreal points, bool bold = false) const {
        return text.isEmpty() ? 0 : sized(points, bold).metrics.horizontalAdvance(text);
    }

    void layOutHeading() {
        m_headingLines.push_back(fit(m_doc.title, kTitlePoints, kCellMinPoints, m_width, true));
        for (const QString& line : m_doc.heading)
            m_headingLines.push_back(fit(line, kHeadingPoints, kCellMinPoints, m_width));
        m_headingHeight = m_units.mm(2);
        for (const TextFit& line : m_headingLines)
            m_headingHeight += line.height;
        m_headingHeight += m_units.mm(4);
        m_footerHeight = sized(kFooterPoints).metrics.height() + m_units.mm(3);
    }

    // Columns that do not wrap are as wide as their widest text; the wrapping ones share what is left by their
    // weights, none wider than its widest text while another still needs room; space over goes to them all.
    void layOutColumns() {
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

    qreal innerWidth(size_t c) const { return std::max<qreal>(m_columnWidths[c] - 2 * m_pad.x(), 1); }

    CellFit fitCell(const PrintCell& cell, size_t c) const {
        CellFit result;
        result.text = fit(cell.text, kCellPoints, kCellMinPoints, innerWidth(c));
        result.hasReading = !cell.reading.isEmpty();
        if (result.hasReading)
            result.reading = fit(cell.reading, kReadingPoints, kReadingMinPoints, innerWidth(c));
        return result;
    }

    void layOutTable() {
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

    // The columns the label of a totals row stands in: those before its first text (at least one).
    qsizetype labelColumns(const PrintTotals& totals) const {
        qsizetype c = 0;
        while (c < m_doc.columns.size() && totals.cells.value(c).isEmpty())
            ++c;
        return std::max<qsizetype>(1, std::min(c, m_doc.columns.size()));
    }

    void paginate() {
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

    // ---- painting ----

    void paintHeading(QPainter& painter) const {
        painter.setPen(Qt::black);
        qreal y = 0;
        for (const TextFit& line : m_headingLines) {
            draw_fitted_text(painter, line, QRectF(0, y, m_width, line.height), Qt::AlignLeft);
            y += line.height;
            if (&line == &m_headingLines.front())
                y += m_units.mm(2);
        }
    }

    QRectF cellBox(size_t first, size_t last, qreal top, qreal height) const {
        return QRectF(m_columnLefts[first], top, m_columnLefts[last + 1] - m_columnLefts[first], height);
    }

    // The text of a cell, centred in its height; the rules around it are drawn with its row.
    void paintCell(QPainter& painter, const CellFit& cell, const QRectF& box, Qt::Alignment alignment) const {
        if (cell.text.text.isEmpty() && !cell.hasReading)
            return;
        const QRectF inner = box.adjusted(m_pad.x(), m_pad.y(), -m_pad.x(), -m_pad.y());
        const qreal top = inner.top() + std::max<qreal>(0, (inner.height() - cell.contentHeight()) / 2);
        painter.setPen(Qt::black);
        draw_fitted_text(painter, cell.text, QRectF(inner.left(), top, inner.width(), cell.text.height), alignment,
                         m_band);
        if (cell.hasReading) {
            painter.setPen(kReadingColor);
            draw_fitted_text(painter, cell.reading,
                             QRectF(inner.left(), top + cell.text.height, inner.width(), cell.reading.height),
                             alignment, m_band);
        }
    }

    // The rules of rows from `top`: a frame around them, a line between every two columns in `edges` (the
    // column lefts to draw), and a line under each row but the last where `across` marks the columns it crosses
    // (a cell that spans the rows has none). One call per table item: a printed page holds thousands of rules.
    void paintRules(QPainter& painter, qreal top, const std::vector<qreal>& rowHeights,
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

    std::vector<size_t> innerEdges(size_t from) const {
        std::vector<size_t> edges;
        for (size_t c = std::max<size_t>(from, 1); c + 1 < m_columnLefts.size(); ++c)
            edges.push_back(c);
        return edges;
    }

    Qt::Alignment alignmentOf(size_t c) const {
        return m_doc.columns[qsizetype(c)].centred ? Qt::AlignHCenter : Qt::AlignLeft;
    }

    void paintTitleRow(QPainter& painter, qreal top) const {
        painter.fillRect(
            QRectF(m_columnLefts.front(), top, m_columnLefts.back() - m_columnLefts.front(), m_titleRow.height),
            kTitleRowFill);
        for (size_t c = 0; c < m_titleRow.cells.size(); ++c)
            paintCell(painter, m_titleRow.cells[c], cellBox(c, c, top, m_titleRow.height), Qt::AlignHCenter);
        paintRules(painter, top, {m_titleRow.height}, innerEdges(0), {});
    }

    void paintItem(QPainter& painter, const Item& item, qreal top) const {
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

    void paintBlock(QPainter& painter, const LaidBlock& block, qreal top) const {
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

    void paintTotals(QPainter& painter, const LaidRow& row, const PrintTotals& totals, qreal top) const {
        const size_t labelEnd = size_t(labelColumns(totals));
        paintCell(painter, row.cells.front(), cellBox(0, labelEnd - 1, top, row.height), Qt::AlignRight);
        for (size_t c = labelEnd; c < m_columnWidths.size(); ++c)
            paintCell(painter, row.cells[c - labelEnd + 1], cellBox(c, c, top, row.height), alignmentOf(c));
        paintRules(painter, top, {row.height}, innerEdges(labelEnd), {});
    }

    const PrintDocument& m_doc;
    QPagedPaintDevice& m_device;
    Units m_units;
    qreal m_width = 0;
    qreal m_height = 0;
    QPointF m_pad;
    QPen m_thinPen;
    QPen m_blockPen;

    std::vector<TextFit> m_headingLines;
    qreal m_headingHeight = 0;
    qreal m_footerHeight = 0;
    std::vector<qreal> m_columnWidths;
    std::vector<qreal> m_columnLefts;
    LaidRow m_titleRow;
    std::vector<LaidBlock> m_blocks;
    std::vector<LaidRow> m_totals;
    std::vector<TextFit> m_closing;
    std::vector<Item> m_items;
    std::vector<Page> m_pages;
    mutable Band m_band; // the part of the item being painted that this page shows
    mutable std::map<int, SizedFont> m_fonts;
};

} // namespace

void set_print_page_layout(QPagedPaintDevice& device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                                     QPageLayout::Millimeter));
}

QFont print_font(qreal pointSize, bool bold) {
    QFont font(QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                           QStringLiteral("TakaoPGothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

namespace {

// The files of kJapaneseFontPackage (IPA P Gothic first, as print_font asks for it). The tests name files that
// do not exist here to see the program without any Japanese font.
QStringList japaneseFontFiles() {
    const QByteArray forTests = qgetenv("DANCEENTRY_TEST_FONT_FILES");
    if (!forTests.isEmpty())
        return QFile::decodeName(forTests).split(QLatin1Char(':'), Qt::SkipEmptyParts);
#ifdef Q_OS_WIN
    // The zip and the installer carry the IPA fonts in fonts\ beside the program.
    const QString bundled = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts/");
    return {bundled + QStringLiteral("ipagp.ttf"), bundled + QStringLiteral("ipag.ttf")};
#endif
    return {QStringLiteral("/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf"),
            QStringLiteral("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf")};
}

bool hasJapaneseFont() {
    return !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
}

} // namespace

bool ensure_japanese_font(QString* error) {
#ifdef Q_OS_WIN
    // PDFs embed the same IPA font as on Linux, carried beside the program, whatever fonts Windows has.
    static const bool bundledLoaded = [] {
        for (const QString& file : japaneseFontFiles()) {
            if (QFile::exists(file))
                QFontDatabase::addApplicationFont(file);
        }
        return true;
    }();
    Q_UNUSED(bundledLoaded)
#endif
    if (hasJapaneseFont())
        return true;
    for (const QString& file : japaneseFontFiles()) {
        if (QFile::exists(file))
            QFontDatabase::addApplicationFont(file);
    }
    if (hasJapaneseFont())
        return true;
#ifdef Q_OS_WIN
    if (error)
        *error = QStringLiteral("日本語のフォントが見つからないため、印刷も PDF の作成もできません。\n"
                                "DanceEntry のフォルダの中の fonts フォルダ（ipagp.ttf）が消えていないか確かめるか、"
                                "DanceEntry を入れ直してください。");
    return false;
#endif
    if (error)
        *error = QStringLiteral("日本語のフォントが見つからないため、印刷も PDF の作成もできません。\n"
                                "日本語のフォントのパッケージ %1 をインストールしてください"
                                "（例: sudo apt install %1）。")
                     .arg(QLatin1String(kJapaneseFontPackage));
    return false;
}

int paint_documents(const QList<PrintDocument>& documents, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device))
        return -1;
    painter.setRenderHint(QPainter::Antialiasing);
    int pages = 0;
    for (const PrintDocument& document : documents) {
        const DocumentLayout layout(document, device);
        for (int p = 0; p < layout.pageCount(); ++p) {
            if (pages > 0 && !device.newPage()) {
                painter.end();
                return -1;
            }
            layout.paintPage(painter, p);
            ++pages;
        }
    }
    if (!painter.end())
        return -1;
    return pages;
}
