#include "startup.h"

#include "datafiles.h"
#include "entrydialog.h"
#include "mainwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString application_folder() {
    return QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
}

std::unique_ptr<MainWindow> start_up(AppState& state, Prompter& prompter, const QString& folder) {
    state.appFolder = folder;
    if (!state.appFolder.endsWith(QLatin1Char('/')) && !state.appFolder.endsWith(QDir::separator()))
        state.appFolder += QLatin1Char('/');

    // A file that cannot be read is reported and left as it is on disk; the program goes on with what it
    // has (a damaged file changes nothing in memory).
    QString error;
    if (!read_member_file(state.memberFilePath(), state, &error))
        prompter.showMessage(error, Prompter::Icon::Exclamation);

    if (QFileInfo::exists(state.universityFilePath())) {
        error.clear();
        if (!read_university_file(state.universityFilePath(), state, &error))
            prompter.showMessage(error, Prompter::Icon::Exclamation);
    } else {
        // First use: the university information is asked for before anything else is shown.
        EntryDialog::start_uniinf(state, prompter, nullptr);
        if (state.universityInfo.university.isEmpty())
            return nullptr;
    }

    auto window = std::make_unique<MainWindow>(state, prompter);
    window->start_main();
    return window;
}
