#include "measuredrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

bool is_measure_mode(int argc, char** argv) {
    return argc >= 2 && std::strcmp(argv[1], "--measure") == 0;
}

int measure_child_main(int argc, char** argv) {
    if (argc < 4)
        return 1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0600);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[3], &actions, nullptr, argv + 3, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::printf("-1 0 0\n");
        return 0;
    }
    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    const double seconds = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9;
    std::printf("%d %.6f %lld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, seconds,
                static_cast<long long>(usage.ru_maxrss) * 1024); // kilobytes on Linux
    return 0;
}

MeasuredRun run_measured(const QStringList& command, const QProcessEnvironment& environment, const QString& errPath) {
    MeasuredRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--measure"), errPath} + command);
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 3)
        return run;
    run.status = figures[0].toInt();
    run.seconds = figures[1].toDouble();
    run.peakBytes = figures[2].toLongLong();
    QFile err(errPath);
    if (err.open(QIODevice::ReadOnly))
        run.err = err.readAll();
    return run;
}
