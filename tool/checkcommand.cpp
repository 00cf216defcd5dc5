#include "checkcommand.h"

#include "entrycheck.h"
#include "toolargs.h"
#include "tooltext.h"

#include <QDir>

QStringList check_lines(const LoadedFile& file, bool* passed, bool* warned) {
    const QString name = QDir::toNativeSeparators(file.path);
    QStringList lines;
    QStringList warnings;
    if (file.kind == DataFileKind::Entry) {
        for (const EntryProblem& problem : entry_problems(file.state))
            lines << QStringLiteral("%1: 背番号%2: %3").arg(name).arg(problem.backNumber).arg(problem.rule);
        for (const EntryConflict& conflict : entry_conflicts(file.state))
            warnings << QStringLiteral("警告: %1: %2").arg(name, conflict_text(conflict));
    } else if (file.kind == DataFileKind::GameNames) {
        // What the program leaves out of the list: names beyond the count, lines it cannot read.
        for (const QString& warning : file.gameNameWarnings)
            warnings << QStringLiteral("警告: %1: %2").arg(name, warning);
    }
    if (passed)
        *passed = lines.isEmpty();
    if (warned)
        *warned = !warnings.isEmpty();
    lines << warnings;
    if (lines.isEmpty())
        lines << name + QStringLiteral(": ok");
    return lines;
}

int run_check(const QStringList& files, bool strict, QIODevice& out, QIODevice& err) {
    bool unreadable = false;
    bool problems = false;
    for (const QString& path : files) {
        // Entry files are checked, and Gamename.txt for what the program leaves out of it: the roster or the
        // university file would pass every rule unread. Any other name is read as an entry file, which the strict
        // reader refuses unless it is one.
        if (const QString other = other_data_file_text(path);
            !other.isEmpty() && data_file_kind(path) != DataFileKind::GameNames) {
            unreadable = true;
            const QString shown = QDir::toNativeSeparators(path);
            write_text(out, QStringLiteral("%1: エントリーファイルではありません。\n").arg(shown));
            write_text(err, QStringLiteral("danceentry-tool: 「%1」は%2です。check はエントリーファイルだけを検査し"
                                           "ます。\n")
                                .arg(shown, other));
            continue;
        }
        LoadedFile file;
        QString error;
        if (!load_data_file(path, file, &error)) {
            unreadable = true;
            write_text(out, QStringLiteral("%1: 読み込めませんでした。\n").arg(QDir::toNativeSeparators(path)));
            write_text(err, QStringLiteral("danceentry-tool: %1\n").arg(error));
            continue;
        }
        bool passed = true;
        bool warned = false;
        const QStringList lines = check_lines(file, &passed, &warned);
        problems = problems || !passed || (strict && warned);
        write_text(out, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
    if (unreadable)
        return kExitFailure;
    return problems ? kExitProblems : kExitOk;
}
