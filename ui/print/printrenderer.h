#pragma once

#include "printout.h"

#include <QFont>
#include <QList>

class QPagedPaintDevice;

// Lays printed lists out on pages and paints them onto any paged device: a printer, its preview or a PDF writer,
// so that all three show the same pages. Each document starts on a new page: its title and heading on the first
// page, the table with its title row repeated on every page, a block (a couple, a member) never split across
// pages, the totals and closing lines after the table, and "n / m" at the foot of every page, counted within
// the document. A text too long for its column is set smaller, then wrapped; nothing is cut off.

// A4 portrait with margins of 15 mm on every side: the page every list starts from.
void set_print_page_layout(QPagedPaintDevice& device);

// The Japanese font of the printed pages (the program's own, IPA P Gothic, where it is installed).
QFont print_font(qreal pointSize, bool bold = false);

// The package of the Japanese font the program depends on.
inline constexpr char kJapaneseFontPackage[] = "fonts-ipafont-gothic";

// Makes sure a Japanese font is there to print with: where fontconfig offers none, the font files of
// kJapaneseFontPackage are loaded by their paths. False, with `error` naming the missing package, when no
// Japanese font can be had at all: then nothing may be printed, as every Japanese text would be empty boxes.
bool ensure_japanese_font(QString* error = nullptr);

// Paints `documents` on `device` in its current page layout. Returns the number of pages painted, or -1 when
// the device could not be painted on (a printer that refused the job).
int paint_documents(const QList<PrintDocument>& documents, QPagedPaintDevice& device);
