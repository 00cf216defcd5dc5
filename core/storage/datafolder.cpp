#include "datafolder.h"

#include "savefile.h"
#include "version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

// The files whose presence marks a folder as a club's data folder.
const char* const kDataFileNames[] = {"member.dat", "uniinf.dat", "Gamename.txt"};

QString withSeparator(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString shown(const QString& folder) {
    return QDir::toNativeSeparators(QDir::cleanPath(folder));
}

bool holdsClubFiles(const QString& folder) {
    const QDir dir(folder);
    for (const char* name : kDataFileNames) {
        if (!file_missing(dir.filePath(QLatin1String(name))))
            return true;
    }
    return false;
}

// Why `folder` could not be made into a folder, or the empty text when it is one now.
QString makeFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return QStringLiteral("同じ名前のファイルがあります。別の場所を指定してください。");
    std::error_code error;
#ifdef Q_OS_WIN
    // Windows' file names are UTF-16: through the wide path, so Japanese folder names work.
    const std::filesystem::path path(folder.toStdWString());
#else
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
#endif
    std::filesystem::create_directories(path, error);
    if (!error)
        return {};
    // As a C error number (Windows' codes are mapped to those).
    const int errorNumber = error.default_error_condition().value();
    // A file on the way to the folder: the system says "not a directory", which would read as "not found".
    if (errorNumber == ENOTDIR || errorNumber == EEXIST)
        return QStringLiteral("途中の名前がフォルダではなくファイルです。別の場所を指定してください。");
    return file_error_reason(errorNumber);
}

DataFolder made(const QString& folder, DataFolderSource source) {
    if (folder.isEmpty())
        return {{}, source, QStringLiteral("データフォルダの名前が空です。フォルダを指定してください。")};
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
    const QString reason = makeFolder(absolute);
    if (!reason.isEmpty())
        return {
            {}, source, QStringLiteral("データフォルダ「%1」を作れませんでした。\n%2").arg(shown(absolute), reason)};
    return {withSeparator(absolute), source, {}};
}

} // namespace

DataFolder decide_data_folder(const std::optional<QString>& requested, const QString& programFolder,
                              const QString& userFolder) {
    if (requested)
        return made(*requested, DataFolderSource::CommandLine);
    if (!programFolder.isEmpty() && holdsClubFiles(programFolder))
        return {withSeparator(QDir(programFolder).absolutePath()), DataFolderSource::ProgramFolder, {}};
    if (userFolder.isEmpty())
        return {{},
                DataFolderSource::UserFolder,
                QStringLiteral("環境変数 HOME が設定されていないか絶対パスではないため、このユーザーのデータフォルダ"
                               "（~/.local/share/DanceEntry）の場所が分かりません。\n"
                               "環境変数 HOME を設定するか、--folder でフォルダを指定してください。")};
    return made(userFolder, DataFolderSource::UserFolder);
}

QString user_data_folder_for(const QString& xdgDataHome, const QString& home) {
    const QString name = QStringLiteral("/DanceEntry");
    // Only an absolute XDG_DATA_HOME counts (a relative one would depend on the folder the program starts in);
    // without one, the default below HOME. Without a usable HOME there is no per-user folder: "/.local/share"
    // would be a folder of the whole system.
    if (QDir::isAbsolutePath(xdgDataHome))
        return QDir::cleanPath(xdgDataHome) + name;
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share")) + name;
    return {};
}

QString user_data_folder() {
    QCoreApplication::setApplicationName(QStringLiteral("DanceEntry"));
    QCoreApplication::setOrganizationName(QString());
#ifdef Q_OS_WIN
    // %APPDATA%\DanceEntry, where Windows keeps a user's program data (it roams with the user's profile).
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
#endif
    return user_data_folder_for(qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"));
}

bool open_data_folder(const QString& folder, Prompter& prompter) {
    if (prompter.showFolder(folder))
        return true;
    prompter.showMessage(QStringLiteral("データフォルダ「%1」をファイルマネージャーで開けませんでした。\n"
                                        "ファイルマネージャーが入っていないか、起動できませんでした。"
                                        "フォルダの場所はこのとおりです。")
                             .arg(shown(folder)),
                         Prompter::Icon::Exclamation);
    return false;
}

QString about_text(const QString& folder) {
    return QStringLiteral("DanceEntry バージョン %1\n\nデータフォルダ: %2\nQt バージョン: %3\nライセンス: MIT")
        .arg(QLatin1String(DANCEENTRY_VERSION), shown(folder), QLatin1String(qVersion()));
}
