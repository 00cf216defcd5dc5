#include "csvtable.h"

#include "cp932.h"

#include <QLocale>
#include <QStringDecoder>

namespace {

bool needsQuotes(const QString& field) {
    if (field.isEmpty())
        return false;
    if (is_csv_blank(field.front()) || is_csv_blank(field.back()))
        return true;
    for (QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

QString quoted(const QString& field) {
    if (!needsQuotes(field))
        return field;
    return QLatin1Char('"') + QString(field).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + QLatin1Char('"');
}

bool isFieldEnd(QChar c) {
    return c == u',' || c == u'\r' || c == u'\n';
}

// Line breaks inside a piece of text, CR LF counted once, so that an unclosed quote is reported on the
// line a text editor shows.
qsizetype lineBreaks(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++count;
    }
    return count;
}

class Reader {
public:
    Reader(QStringView text, qsizetype maxRows) : m_text(text), m_maxRows(maxRows) {}

    CsvReadResult read() {
        QStringList row;
        while (m_pos < m_text.size()) {
            row.append(readField());
            if (m_pos >= m_text.size())
                break;
            if (m_text[m_pos] == u',') {
                ++m_pos;
                continue;
            }
            // A line end: CR LF, LF or a lone CR.
            m_pos += (m_text[m_pos] == u'\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'\n') ? 2 : 1;
            ++m_line;
            finishRow(row);
        }
        finishRow(row);
        return std::move(m_result);
    }

private:
    // Reads one field and stops at the comma or line end after it, or at the end of the text.
    QString readField() {
        qsizetype start = m_pos;
        while (start < m_text.size() && is_csv_blank(m_text[start]))
            ++start;
        if (start < m_text.size() && m_text[start] == u'"') {
            m_pos = start + 1;
            return readQuoted();
        }
        qsizetype end = start;
        while (end < m_text.size() && !isFieldEnd(m_text[end]))
            ++end;
        m_pos = end;
        return csv_trimmed(m_text.sliced(start, end - start)).toString();
    }

    // Reads from just behind an opening quote.
    QString readQuoted() {
        const qsizetype openedOn = m_line;
        QString field;
        for (;;) {
            const qsizetype quote = m_text.indexOf(u'"', m_pos);
            if (quote < 0) {
                // Never closed: the field holds the rest of the text, and the caller learns where it began.
                field += m_text.sliced(m_pos);
                m_line += lineBreaks(m_text.sliced(m_pos));
                m_pos = m_text.size();
                if (m_result.unclosedQuoteLine == 0)
                    m_result.unclosedQuoteLine = openedOn;
                return field;
            }
            const QStringView piece = m_text.sliced(m_pos, quote - m_pos);
            field += piece;
            m_line += lineBreaks(piece);
            m_pos = quote + 1;
            if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
                field += u'"';
                ++m_pos;
                continue;
            }
            break;
        }
        qsizetype end = m_pos;
        while (end < m_text.size() && !isFieldEnd(m_text[end]))
            ++end;
        qsizetype kept = end;
        while (kept > m_pos && is_csv_blank(m_text[kept - 1]))
            --kept;
        field += m_text.sliced(m_pos, kept - m_pos);
        m_pos = end;
        return field;
    }

    void finishRow(QStringList& row) {
        while (!row.isEmpty() && row.back().isEmpty())
            row.removeLast();
        if (row.isEmpty())
            return; // keeps its storage for the next row
        if (m_maxRows >= 0 && m_result.rows.size() >= m_maxRows) {
            m_result.moreRows = true;
            m_pos = m_text.size(); // the rest is not read
            return;
        }
        m_result.rows.append(std::move(row));
        row = QStringList();
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
    qsizetype m_maxRows = -1;
    CsvReadResult m_result;
};

} // namespace

bool is_csv_blank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

QStringView csv_trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && is_csv_blank(text[begin]))
        ++begin;
    while (end > begin && is_csv_blank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

namespace {
bool startsLikeAFormula(QStringView cell) {
    static const QString leading = QStringLiteral("=+-@\t\r");
    return !cell.isEmpty() && leading.contains(cell.front());
}
} // namespace

QString spreadsheet_cell(const QString& cell) {
    bool isNumber = false;
    if (!startsLikeAFormula(cell) || (QLocale::c().toDouble(cell, &isNumber), isNumber))
        return cell;
    return QLatin1Char('\'') + cell;
}

QString without_formula_guard(const QString& cell) {
    if (cell.startsWith(QLatin1Char('\'')) && startsLikeAFormula(QStringView(cell).mid(1)))
        return cell.mid(1);
    return cell;
}

QString csv_text(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row)
            fields << quoted(field);
        text += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}

CsvReadResult read_csv(QStringView text, qsizetype maxRows) {
    return Reader(text, maxRows).read();
}

namespace {

// The UTF-8 decoder drops a leading byte-order mark. Bytes in code page 932 beyond ASCII are almost never valid
// UTF-8, so a file that is valid UTF-8 is taken as UTF-8 (plain ASCII reads the same either way). A byte-order
// mark is no valid code page 932, so damaged UTF-8 behind one is not read as code page 932.
bool decodeUtf8OrCp932(QByteArrayView bytes, QString& decoded) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    decoded = utf8.decode(bytes);
    return !utf8.hasError() || cp932::decode(bytes, &decoded);
}

} // namespace

bool decode_text_bytes(QByteArrayView bytes, QString* text) {
    QString decoded;
    if (!decodeUtf8OrCp932(bytes, decoded) || decoded.contains(QChar(u'\0')))
        return false;
    if (text)
        *text = std::move(decoded);
    return true;
}
