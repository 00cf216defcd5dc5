#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>

#include <limits>

class QPaintDevice;
class QPainter;

// Texts fitted into the width of a cell on a paint device: one line in the largest size that fits, down to a
// smallest size, below which the text wraps (at word boundaries, or anywhere in a word longer than the width).
// Nothing is ever cut off.

struct TextFit {
    QString text;
    QFont font;        // the size the text is set in
    qreal height = 0;  // in the device's pixels
    qreal advance = 0; // the width of the one line (of a text that does not wrap)
    qreal ascent = 0;  // from the top of the line to its baseline
    bool wraps = false;
};

// `metrics` are those of `base` on `device`, which the caller keeps for the texts set in that font.
TextFit fit_text(const QString& text, const QFont& base, const QFontMetricsF& metrics, qreal minPoints, qreal width,
                 QPaintDevice* device);

// The part of a page a table item shows there. An item taller than a page is shown in parts, one per page; each
// of its text lines is drawn on the page where its top is, whole, so that no line is cut or printed twice.
struct Band {
    qreal top = -std::numeric_limits<qreal>::infinity();
    qreal bottom = std::numeric_limits<qreal>::infinity();
    bool whole() const { return top == -std::numeric_limits<qreal>::infinity(); }
    bool holds(qreal y) const { return y >= top && y < bottom; }
};

// Draws `fit` in `box` (as wide as the width it was fitted to), with the lines `band` holds.
void draw_fitted_text(QPainter& painter, const TextFit& fit, const QRectF& box, Qt::Alignment alignment,
                      const Band& band = Band());
