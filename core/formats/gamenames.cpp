#include "gamenames.h"

#include "cp932.h"
#include "datafiles.h"
#include "savefile.h"

#include <QDir>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr char16_t kUnreadable = u'\uFFFD';

// The lines of the file without their line ends: CR LF, a lone LF or a lone CR. Neither encoding uses these
// bytes inside a character, so a line is whole in either.
QList<QByteArrayView> splitLines(QByteArrayView bytes) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.append(bytes.sliced(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.sliced(start));
    return lines;
}

bool isAscii(QByteArrayView line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; });
}

bool decodeUtf8Line(QByteArrayView line, QString* out) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(line);
    if (utf8.hasError())
        return false;
    if (out)
        *out = std::move(text);
    return true;
}

struct Field {
    QString text;
    int line = 0; // from 1
};

// The fields of `text` (lines joined by LF), each with the line it starts on; at most `maxFields`.
QList<Field> parseFields(const QString& text, qsizetype maxFields) {
    QList<Field> fields;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    auto isLineEnd = [&](qsizetype at) { return text[at] == u'\n'; };
    // Moves to `to`, counting the line ends passed.
    auto advance = [&](qsizetype to) {
        for (; i < to; ++i) {
            if (isLineEnd(i))
                ++line;
        }
    };
    while (i < n && fields.size() < maxFields) {
        // Blanks before a field, and empty lines, are skipped.
        while (i < n && (text[i] == u' ' || text[i] == u'\t' || isLineEnd(i)))
            advance(i + 1);
        if (i >= n)
            break;
        Field field;
        field.line = line;
        if (text[i] == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            field.text = text.mid(i + 1, end - i - 1);
            advance(close < 0 ? n : close + 1);
            // Anything between the closing quote and the next separator is dropped.
            while (i < n && text[i] != u',' && !isLineEnd(i))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && text[i] != u',' && !isLineEnd(i))
                ++i;
            field.text = text.mid(start, i - start);
        }
        if (i < n && text[i] == u',')
            ++i;
        fields.append(std::move(field));
    }
    return fields;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// "3, 5, 8" (at most twenty, then "ほか N 行").
QString lineList(const QList<int>& lines) {
    constexpr qsizetype kShown = 20;
    QStringList texts;
    for (qsizetype i = 0; i < lines.size() && i < kShown; ++i)
        texts << QString::number(lines[i]);
    QString text = texts.join(QStringLiteral(", "));
    if (lines.size() > kShown)
        text += QStringLiteral(" ほか %1 行").arg(lines.size() - kShown);
    return text;
}

void appendLine(QList<int>& lines, int line) {
    if (lines.isEmpty() || lines.last() != line)
        lines.append(line);
}

// True when the bytes certainly hold more names than a list may: without a double quote no field spans lines, so
// every line with more than blanks gives at least one field. Told from the bytes alone, so that a file of millions
// of short lines is refused without decoding them.
bool certainlyTooManyNames(QByteArrayView bytes) {
    if (bytes.contains('"'))
        return false;
    qsizetype filledLines = 0;
    bool filled = false;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            filledLines += filled ? 1 : 0;
            filled = false;
        } else if (c != ' ' && c != '\t') {
            filled = true;
        }
    }
    filledLines += filled ? 1 : 0;
    return filledLines > kMaxGameNames + 1; // the count's line and the names
}

QString tooManyNamesMessage(const QString& shownPath) {
    return QStringLiteral("「%1」には試合名が %2 を超えて書かれているため、読み込みませんでした。\n"
                          "試合名は %2 までです。")
        .arg(shown(shownPath), QLocale(QLocale::English).toString(kMaxGameNames));
}

} // namespace

GameNamesRead parse_game_names(QByteArrayView bytes, const QString& shownPath) {
    GameNamesRead read;
    if (certainlyTooManyNames(bytes)) {
        read.refusal = tooManyNamesMessage(shownPath);
        return read;
    }
    bool bom = false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
        bom = true;
    }
    const QList<QByteArrayView> lines = splitLines(bytes);
    // The encoding that reads more of the lines beyond ASCII wins, each line judged on its own so that one stray
    // byte decides nothing. A line that reads as UTF-8 counts for UTF-8 even where Shift-JIS reads it too: valid
    // multi-byte UTF-8 hardly ever comes of Shift-JIS text, while UTF-8 text often passes for Shift-JIS. A tie
    // (plain ASCII among them) is UTF-8.
    bool utf8 = bom;
    if (!bom) {
        qsizetype readAsUtf8 = 0;
        qsizetype readOnlyAsSjis = 0;
        for (const QByteArrayView line : lines) {
            if (isAscii(line))
                continue;
            if (decodeUtf8Line(line, nullptr))
                ++readAsUtf8;
            else if (cp932::decode(line, nullptr))
                ++readOnlyAsSjis;
        }
        utf8 = readAsUtf8 >= readOnlyAsSjis;
    }
    if (!lines.isEmpty())
        read.encoding = utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift-JIS");

    // A line that cannot be read stands as one unreadable field, so that the lines around it keep their places.
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += u'\n';
        // ASCII reads alike in both (and most lines of a long list are short or empty).
        if (isAscii(lines[i])) {
            if (lines[i].contains('\0'))
                text += QChar(kUnreadable);
            else
                text += QLatin1StringView(lines[i]);
            continue;
        }
        QString decoded;
        const bool ok = utf8 ? decodeUtf8Line(lines[i], &decoded) : cp932::decode(lines[i], &decoded);
        if (ok && !decoded.contains(QChar(u'\0')))
            text += decoded;
        else
            text += QChar(kUnreadable);
    }

    // The count and at most one name more than the list may hold.
    const QList<Field> fields = parseFields(text, kMaxGameNames + 2);
    if (fields.isEmpty())
        return read;
    bool isNumber = false;
    const qint32 count = fields.first().text.trimmed().toInt(&isNumber);
    read.hasCount = isNumber;
    read.count = isNumber ? count : 0;
    const qsizetype firstName = isNumber ? 1 : 0;
    if (fields.size() - firstName > kMaxGameNames) {
        read.refusal = tooManyNamesMessage(shownPath);
        return read;
    }
    for (qsizetype i = firstName; i < fields.size(); ++i) {
        const Field& field = fields[i];
        if (isNumber && i - firstName >= qsizetype(count)) {
            if (!field.text.trimmed().isEmpty() || field.text.contains(QChar(kUnreadable)))
                appendLine(read.leftOutLines, field.line);
            if (!field.text.trimmed().isEmpty() && !field.text.contains(QChar(kUnreadable)))
                read.leftOutNames.append(field.text);
            continue;
        }
        if (field.text.contains(QChar(kUnreadable))) {
            appendLine(read.unreadableLines, field.line);
            continue;
        }
        // Without a count only what holds text is a name.
        if (!isNumber && field.text.trimmed().isEmpty())
            continue;
        read.names.append(field.text);
    }
    return read;
}

GameNamesRead read_game_names_file(const QString& path) {
    QByteArray bytes;
    QString error;
    switch (read_existing_file(path, kMaxGameNamesFileSize, &bytes, &error)) {
    case FileRead::Missing:
        return {};
    case FileRead::Failed: {
        GameNamesRead read;
        read.refusal = error;
        return read;
    }
    case FileRead::Read:
        break;
    }
    return parse_game_names(bytes, path);
}

QStringList game_names_warnings(const GameNamesRead& read, const QString& shownPath) {
    const QString file = shownPath.isEmpty() ? QString() : QStringLiteral("「%1」の ").arg(shown(shownPath));
    QStringList warnings;
    if (!read.unreadableLines.isEmpty())
        warnings << QStringLiteral("%1%2 行目は %3 として読めないため、試合名にしませんでした。")
                        .arg(file, lineList(read.unreadableLines), read.encoding);
    if (!read.leftOutLines.isEmpty())
        warnings << QStringLiteral("%1%2 行目の試合名は、1行目の数 %3 を超えるため読み込みませんでした。")
                        .arg(file, lineList(read.leftOutLines))
                        .arg(read.count);
    return warnings;
}

QByteArray encode_game_names(const QStringList& names, QString* error) {
    QByteArray bytes = QByteArray::number(names.size()) + "\r\n";
    for (const QString& name : names) {
        // Commas and leading blanks would split or shorten the name when it is read: such a name is quoted.
        const bool quoted = name.contains(u',') || name.startsWith(u' ') || name.startsWith(u'\t');
        if (quoted)
            bytes += '"';
        if (!cp932::encodeAppend(name, bytes, error))
            return {};
        if (quoted)
            bytes += '"';
        bytes += "\r\n";
    }
    return bytes;
}
