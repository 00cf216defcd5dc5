#include "tool.h"
#include "toolargs.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

// danceentry-tool: shows, checks and converts the program's data files from the command line.
int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
        return kExitFailure;
    const int status = run_tool(QCoreApplication::arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
