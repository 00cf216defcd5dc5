#include "startup.h"

#include "datafiles.h"
#include "entrydialog.h"
#include "folderlock.h"
#include "mainwindow.h"
#include "savefile.h"

#include <QCoreApplication>
#include <QDir>

QString application_folder() {
    return QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
}

std::unique_ptr<MainWindow> start_up(AppState& state, Prompter& prompter, const QString& folder, FolderLock& lock) {
    state.appFolder = folder;
    if (!state.appFolder.endsWith(QLatin1Char('/')) && !state.appFolder.endsWith(QDir::separator()))
        state.appFolder += QLatin1Char('/');

    // Nothing is read or written before the folder is this program's alone.
    // A lock left behind that nobody can be confirmed to hold is taken over only when the user says so.
    if (!lock.acquire(state.appFolder, prompter))
        return nullptr;

    // A file that cannot be read is reported and left as it is on disk; the program goes on with what it has
    // (a damaged file changes nothing in memory) and keeps a copy before a save writes over it.
    const auto read = [&](const QString& path, bool (*reader)(const QString&, AppState&, QString*)) {
        QString readError;
        if (reader(path, state, &readError))
            return;
        state.unreadFiles.insert(path);
        prompter.showMessage(readError, Prompter::Icon::Exclamation);
    };
    read(state.memberFilePath(), read_member_file);
    if (!file_missing(state.universityFilePath())) {
        read(state.universityFilePath(), read_university_file);
    } else {
        // First use: the university information is asked for before anything else is shown.
        EntryDialog::openUniversityInfo(state, prompter, nullptr);
        if (state.universityInfo.university.isEmpty())
            return nullptr;
    }

    auto window = std::make_unique<MainWindow>(state, prompter);
    window->openWindow();
    return window;
}
