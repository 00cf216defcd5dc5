#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// A program run as a process of its own and measured by the system's account of it: how long it took and its
// peak resident memory.
//
// The system counts into a new process's peak the memory of the process that started it (a child begins as a
// copy of its parent, and exec keeps the larger figure), so a test or benchmark that holds large files would
// seem to lend them to every program it starts. The measured program is therefore started by a fresh copy of
// the calling executable ("--measure"), which is small, and which reports the figures of its own child.
struct MeasuredRun {
    int status = -1; // the exit status; -1 when it could not be started or did not end normally
    double seconds = 0;
    qint64 peakBytes = 0;
    QByteArray err; // what it wrote on standard error
};

// Runs `command` (the program, found on PATH, then its arguments) in `environment` through a fresh copy of this
// executable, with standard output discarded and standard error kept in the file `errPath`, and waits for it.
MeasuredRun run_measured(const QStringList& command, const QProcessEnvironment& environment, const QString& errPath);

// The "--measure ERR_PATH PROGRAM ARGUMENTS..." mode of an executable that uses run_measured, called from its
// main() before anything else when argv[1] is "--measure": runs the program, prints "status seconds peak-bytes"
// on standard output and returns 0 (1 when the line is wrong).
bool is_measure_mode(int argc, char** argv);
int measure_child_main(int argc, char** argv);
