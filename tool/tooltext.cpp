#include "tooltext.h"

#include <QStringView>

#include <algorithm>

namespace {

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

bool isZeroWidth(char32_t c) {
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || c == 0x200B;
}

QString padded(const QString& text, int width) {
    return text + QString(std::max(0, width - display_width(text)), QLatin1Char(' '));
}

} // namespace

void write_text(QIODevice& device, const QString& text) {
    device.write(text.toUtf8());
}

int display_width(const QString& text) {
    int width = 0;
    for (char32_t c : QStringView(text).toUcs4()) {
        if (isZeroWidth(c))
            continue;
        width += isWide(c) ? 2 : 1;
    }
    return width;
}

QString single_line(const QString& text) {
    QString line = text;
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return line;
}

QString format_table(const QList<QStringList>& rows) {
    qsizetype columns = 0;
    for (const QStringList& row : rows)
        columns = std::max(columns, row.size());
    QList<int> widths(columns, 0);
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], display_width(single_line(row[c])));
    }
    const auto line = [&](const QStringList& row) {
        QString text;
        for (qsizetype c = 0; c < columns; ++c) {
            if (c > 0)
                text += QStringLiteral("  ");
            text += padded(c < row.size() ? single_line(row[c]) : QString(), widths[c]);
        }
        // Trailing blanks of short last cells serve no alignment.
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text + QLatin1Char('\n');
    };
    QString table;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        table += line(rows[r]);
        if (r == 0) {
            QStringList rule;
            for (int width : widths)
                rule << QString(width, QLatin1Char('-'));
            table += line(rule);
        }
    }
    return table;
}
