#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Comma-separated tables (RFC 4180) as spreadsheet programs write and read them.

// The blanks that the reader trims around an unquoted field: space, tab and the ideographic space U+3000,
// which the space bar types in Japanese input mode, so a stray one at the edge of a cell is as common as an
// ASCII space.
bool is_csv_blank(QChar c);
QStringView csv_trimmed(QStringView text);

// One record per row: a field holding a comma, a double quote, CR or LF, or starting or ending with a blank,
// is enclosed in double quotes with its quotes doubled (so the reader gives every field back unchanged);
// every record ends in CR LF.
QString csv_text(const QList<QStringList>& rows);

// A text cell that spreadsheet programs would take for a formula (it starts with =, +, -, @, a tab or a carriage
// return, and is no number) with a single quote before it, as spreadsheet users type such a text; numbers and
// other texts are returned as they are. The tables the program writes for spreadsheets pass every cell through
// this, since the organisers open many clubs' files.
QString spreadsheet_cell(const QString& cell);
// The text of a cell written by spreadsheet_cell: the quote before a formula character taken off again.
QString without_formula_guard(const QString& cell);

struct CsvReadResult {
    QList<QStringList> rows;
    // The line (counting from 1) on which a quoted field starts that is never closed; 0 when every quote
    // is closed. The field then holds the rest of the text.
    qsizetype unclosedQuoteLine = 0;
    // The text holds more rows than the reader was asked for; `rows` holds the first of them.
    bool moreRows = false;
};

// Splits text into rows of fields. Fields are separated by commas and rows by CR LF, LF or a lone CR.
// A field whose first non-blank character is a double quote is quoted: it runs to the next quote that is
// not doubled, and holds commas and line breaks as they stand. Text between that closing quote and the next
// comma or line end is kept after the quoted text, without its trailing blanks (a malformed field like
// "ab"cd gives abcd); a quote inside an unquoted field is an ordinary character. Unquoted fields lose the
// blanks around them, quoted ones keep everything between their quotes. Trailing empty fields of a row are
// dropped, as are rows left without fields (empty lines, lines of blanks or of commas only). With `maxRows` of
// 0 or more, reading stops at the row after that many, and `moreRows` says so.
CsvReadResult read_csv(QStringView text, qsizetype maxRows = -1);

// The text of a file's bytes: UTF-8, with or without a byte-order mark, when the bytes are valid UTF-8,
// otherwise code page 932. Fails on bytes that are neither, and on a NUL character, which no text file
// holds (a binary file or UTF-16 text chosen by mistake).
bool decode_text_bytes(QByteArrayView bytes, QString* text);
