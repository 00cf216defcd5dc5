#pragma once

#include "csvtable.h"
#include "exporttarget.h"
#include "toolargs.h"
#include "toolfiles.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The CSV table of entries: one row per partner, couples in back-number order as the couple grid lists them.
// Columns: file, university, competition, back number, leader name, kana and year, partner name, kana and
// year, the eight dances W T F Q C S R P ("1" where the partner dances it), regular ("1" or empty), section.
QStringList csv_header();
QList<QStringList> csv_rows(const LoadedFile& file);

// Where row `r` of a table came from, for a refusal: "ファイル「A.ent」の背番号12".
using CsvRowPlace = std::function<QString(qsizetype r)>;

// The bytes of the CSV text: UTF-8 behind a byte-order mark, or code page 932. For code page 932 the rows
// are checked first, so that a character it cannot store is reported with the place of its row.
bool encode_csv(const QList<QStringList>& rows, CsvEncoding encoding, const CsvRowPlace& place, QByteArray* bytes,
                QString* error);

// csv FILE... [-o OUT] [--encoding ...]: the entry table of all files or nothing, or the roster table of one
// member file (member_table, which the member import reads back); writes OUT as a whole, or to `out`.
int run_csv(const ToolOptions& options, QIODevice& out, QIODevice& err);
