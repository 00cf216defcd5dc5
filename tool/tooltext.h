#pragma once

#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

// Terminal text of the tool: UTF-8 output and tables aligned by display width.

// Writes `text` to `device` as UTF-8.
void write_text(QIODevice& device, const QString& text);

// Columns a text takes in a terminal: East Asian wide and full-width characters take two, combining marks
// none, everything else one ("○" and "◎" are ambiguous in width and counted as one, as most terminals do).
int display_width(const QString& text);

// Control characters (line breaks of a comment, tabs, damaged text) as blanks, so a cell stays on its line.
QString single_line(const QString& text);

// The rows as a table: the first row is the title row, followed by a rule of '-'; columns are padded to
// their widest cell and separated by two blanks; no line ends in blanks. Every line ends in "\n".
QString format_table(const QList<QStringList>& rows);
