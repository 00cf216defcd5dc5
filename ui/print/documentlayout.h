#pragma once

#include "printout.h"
#include "textfit.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>
#include <QPointF>

#include <algorithm>
#include <map>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// How one printed list lies on its pages: measured and paginated once (documentlayout.cpp), then painted page by
// page (documentpaint.cpp). Only the renderer uses it.
namespace printlayout {

// Sizes in points: the text of the table, the kana under a name, the title row, the heading, the page footer.
inline constexpr qreal kCellPoints = 10;
inline constexpr qreal kCellMinPoints = 7.5; // a long text is set smaller down to this size, then wrapped
inline constexpr qreal kReadingPoints = 7;
inline constexpr qreal kReadingMinPoints = 5.5;
inline constexpr qreal kTitleRowPoints = 9;
inline constexpr qreal kTitlePoints = 16;
inline constexpr qreal kHeadingPoints = 10.5;
inline constexpr qreal kFooterPoints = 9;
inline constexpr qreal kPageMarginMm = 15;

inline const QColor kTitleRowFill(0xE4, 0xE4, 0xE4);
inline const QColor kReadingColor(0x40, 0x40, 0x40);
inline const QColor kRuleColor(0x50, 0x50, 0x50);

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

// One document laid out on one device: its heading, its columns, its table cut into blocks and its pages.
class DocumentLayout {
public:
    DocumentLayout(const PrintDocument& document, QPagedPaintDevice& device);

    int pageCount() const { return int(m_pages.size()); }

    void paintPage(QPainter& painter, int p) const;

private:
    // ---- measuring ----

    // The font of a size with its metrics on this device, made once: a list measures thousands of texts.
    const SizedFont& sized(qreal points, bool bold = false) const;

    TextFit fit(const QString& text, qreal points, qreal minPoints, qreal width, bool bold = false) const;

    qreal advance(const QString& text, qreal points, bool bold = false) const;

    void layOutHeading();

    // Columns that do not wrap are as wide as their widest text; the wrapping ones share what is left by their
    // weights, none wider than its widest text while another still needs room; space over goes to them all.
    void layOutColumns();

    qreal innerWidth(size_t c) const { return std::max<qreal>(m_columnWidths[c] - 2 * m_pad.x(), 1); }

    CellFit fitCell(const PrintCell& cell, size_t c) const;

    void layOutTable();

    // The columns the label of a totals row stands in: those before its first text (at least one).
    qsizetype labelColumns(const PrintTotals& totals) const;

    void paginate();

    // ---- painting ----

    void paintHeading(QPainter& painter) const;

    QRectF cellBox(size_t first, size_t last, qreal top, qreal height) const;

    // The text of a cell, centred in its height; the rules around it are drawn with its row.
    void paintCell(QPainter& painter, const CellFit& cell, const QRectF& box, Qt::Alignment alignment) const;

    // The rules of rows from `top`: a frame around them, a line between every two columns in `edges` (the
    // column lefts to draw), and a line under each row but the last where `across` marks the columns it crosses
    // (a cell that spans the rows has none). One call per table item: a printed page holds thousands of rules.
    void paintRules(QPainter& painter, qreal top, const std::vector<qreal>& rowHeights,
                    const std::vector<size_t>& edges, const std::vector<bool>& across) const;

    std::vector<size_t> innerEdges(size_t from) const;

    Qt::Alignment alignmentOf(size_t c) const;

    void paintTitleRow(QPainter& painter, qreal top) const;

    void paintItem(QPainter& painter, const Item& item, qreal top) const;

    void paintBlock(QPainter& painter, const LaidBlock& block, qreal top) const;

    void paintTotals(QPainter& painter, const LaidRow& row, const PrintTotals& totals, qreal top) const;

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

} // namespace printlayout
