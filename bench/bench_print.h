#pragma once

#include <map>
#include <string>

// Benchmarks of printing: the PDF of an entry list of 1,000 couples, made in memory as PDF出力 and the tool make
// it, against a PDF of as many empty table rows painted straight onto a PDF writer.

// Registers the benchmarks; call before the benchmarks run (a QGuiApplication must exist).
void add_print_benchmarks();

// Prints the ratio lines of those benchmarks from the seconds per iteration of the run, by benchmark name.
void print_print_ratios(const std::map<std::string, double>& secondsPerIteration);
