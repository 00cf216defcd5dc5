#include "textfit.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

QTextOption wrapOption(Qt::Alignment alignment) {
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Lays the text out in lines no wider than `width`; returns the height of the lines.
qreal layOut(QTextLayout& layout, qreal width) {
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

} // namespace

TextFit fit_text(const QString& text, const QFont& base, const QFontMetricsF& metrics, qreal minPoints, qreal width,
                 QPaintDevice* device) {
    TextFit fit{text, base, metrics.height(), 0, metrics.ascent(), false};
    if (text.isEmpty())
        return fit;
    fit.advance = metrics.horizontalAdvance(text);
    if (fit.advance <= width)
        return fit;
    // The size at which the text just fits, in steps of a quarter point, checked against the real advance
    // (glyph widths do not scale exactly with the size).
    for (qreal points = std::floor(base.pointSizeF() * width / fit.advance * 4) / 4; points >= minPoints;
         points -= 0.25) {
        fit.font.setPointSizeF(points);
        const QFontMetricsF smaller(fit.font, device);
        fit.advance = smaller.horizontalAdvance(text);
        if (fit.advance <= width) {
            fit.height = smaller.height();
            fit.ascent = smaller.ascent();
            return fit;
        }
    }
    fit.font.setPointSizeF(minPoints);
    QTextLayout layout(text, fit.font, device);
    layout.setTextOption(wrapOption(Qt::AlignLeft));
    fit.height = layOut(layout, width);
    fit.wraps = true;
    return fit;
}

void draw_fitted_text(QPainter& painter, const TextFit& fit, const QRectF& box, Qt::Alignment alignment,
                      const Band& band) {
    if (fit.text.isEmpty())
        return;
    // The rules of a part are cut at its edge, its lines are not. (Saving the painter's state for every text would
    // cost the PDF a state change each.)
    const bool clipped = !band.whole() && painter.hasClipping();
    if (clipped) {
        painter.save();
        painter.setClipping(false);
    }
    painter.setFont(fit.font);
    if (!fit.wraps) {
        // One line placed by its known width: cheaper than letting the painter lay the text out in a box.
        qreal x = box.left();
        if (alignment & Qt::AlignHCenter)
            x += (box.width() - fit.advance) / 2;
        else if (alignment & Qt::AlignRight)
            x += box.width() - fit.advance;
        if (band.holds(box.top()))
            painter.drawText(QPointF(x, box.top() + (box.height() - fit.height) / 2 + fit.ascent), fit.text);
    } else {
        QTextLayout layout(fit.text, fit.font, painter.device());
        layout.setTextOption(wrapOption(alignment));
        layOut(layout, box.width());
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            if (band.holds(box.top() + line.y()))
                line.draw(&painter, box.topLeft());
        }
    }
    if (clipped)
        painter.restore();
}
