#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// Gamename.txt, the club's list of competition names, as people write it and as the program writes it.
//
// Read: fields separated by commas or line ends, blanks before a field skipped, a field in double quotes may hold
// commas. When the first field is a whole number it is the count of the names that follow, and names after the
// counted ones are left out; otherwise there is no count and every field is a name. The encoding is UTF-8 (with
// or without a byte-order mark) or Shift-JIS (code page 932), whichever reads more of its lines; a line the chosen
// encoding cannot read gives no name and is named, and leaves the other lines as they are.
//
// Written (by the names editor): Shift-JIS, the count on the first line, one name on each following line, CR LF
// after every line; a name holding a comma or starting with a blank is put in double quotes.

// The most names a list may hold: far more than a club enters in its whole life, and small enough that the export
// dialog's list and the tool stay quick. A file with more is refused as a whole.
inline constexpr qsizetype kMaxGameNames = 1000;

struct GameNamesRead {
    QStringList names;          // the names offered, in file order
    bool hasCount = false;      // the first field was a count
    qint32 count = 0;           // that count (0 when there is none)
    QList<int> leftOutLines;    // lines (from 1) of names beyond the count
    QStringList leftOutNames;   // those names, readable ones only
    QList<int> unreadableLines; // lines (from 1) the encoding cannot read: they give no name
    QString encoding;           // "UTF-8" or "Shift-JIS"; empty for a file without text
    QString refusal;            // why the whole file gives no names (too many names, too large); else empty
};

// Reads the bytes of a list; `shownPath` names the file in a refusal.
GameNamesRead parse_game_names(QByteArrayView bytes, const QString& shownPath);

// Reads the list at `path`. A missing file gives no names and no refusal; a file that cannot be read, or is
// larger than any list, gives a refusal that names it.
GameNamesRead read_game_names_file(const QString& path);

// The warnings of a list that is read but not whole: the names left out beyond the count and the lines that
// cannot be read, each a sentence naming the lines and, unless `shownPath` is empty, the file. Empty for a sound
// list.
QStringList game_names_warnings(const GameNamesRead& read, const QString& shownPath);

// The file as the program writes it; empty with `error` when a name cannot be written.
QByteArray encode_game_names(const QStringList& names, QString* error);
