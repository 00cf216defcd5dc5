#include "usersettings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "platform.h"

namespace usersettings {
namespace {
// The settings hold a few hundred bytes; a file far larger is none of this program's.
constexpr qint64 kLargestFile = 1024 * 1024;

QString& chosenFile() {
    static QString file;
    return file;
}

// Why `file` cannot be read as the settings, or the empty text when it can (or is not there yet). Looked at
// before QSettings opens it, following a link as QSettings would.
QString unusableReason(const QString& file) {
    const platform::FileStatus status = platform::file_status(file, true);
    if (status.kind == platform::FileKind::Missing)
        return {};
    if (status.kind == platform::FileKind::Folder)
        return QStringLiteral("フォルダになっています");
    if (status.kind != platform::FileKind::Regular)
        return QStringLiteral("通常のファイルではありません（名前付きパイプなど）");
    if (status.size > kLargestFile)
        return QStringLiteral("大きすぎます（%1 バイト）").arg(status.size);
    return {};
}
} // namespace

QString default_file() {
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    QString folder;
    if (!configured.isEmpty() && QDir::isRelativePath(configured) && !QStandardPaths::isTestModeEnabled()) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || QDir::isRelativePath(home))
            return {};
        folder = QDir::cleanPath(home + QStringLiteral("/.config"));
    } else {
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    }
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/DanceEntry/DanceEntry.conf");
}

QString use_file(const QString& file) {
    const QString reason = file.isEmpty() ? QString() : unusableReason(file);
    chosenFile() = reason.isEmpty() ? file : QString();
    if (reason.isEmpty())
        return {};
    return QStringLiteral("設定ファイル「%1」は%2。読み込めないため、ウィンドウの大きさと位置、列の幅、"
                          "最後に開いたフォルダは今回は覚えておきません。データファイルには関わりありません。")
        .arg(QDir::toNativeSeparators(file), reason);
}

std::unique_ptr<QSettings> open() {
    if (chosenFile().isEmpty() || !unusableReason(chosenFile()).isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(chosenFile(), QSettings::IniFormat);
}

} // namespace usersettings
