#pragma once

#include <QString>

#include <map>
#include <string>

// Benchmarks of the member import: reading and checking a table of 10,000 rows against decoding and splitting
// the same bytes, and opening the preview of those rows against one second; and the largest tables the import
// accepts read and shown, with the process's peak memory, against 2 s and 500 MB.

// Writes the table into `folder` and registers the benchmarks; call before the benchmarks run.
void add_member_import_benchmarks(const QString& folder);

// Prints the ratio lines of those benchmarks from the seconds per iteration of the run, by benchmark name.
void print_member_import_ratios(const std::map<std::string, double>& secondsPerIteration);
