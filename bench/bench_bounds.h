#pragma once

// The largest files the readers take, loaded by the program and the tool: time and peak resident memory.
void add_bounds_benchmarks();
// The peak resident memory of each of those benchmarks, after the table.
void print_bounds_figures();
