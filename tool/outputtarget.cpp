#include "outputtarget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the system follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

// The target of the link at `path`, or an empty text when it is none.
QString linkTarget(const QString& path) {
    const QByteArray name = native(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return {};
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(name.constData(), target.data(), size_t(target.size()));
    if (length <= 0)
        return {};
    target.truncate(length);
    return QFile::decodeName(target);
}

// The folder part through realpath; empty when it does not exist or cannot be entered.
QString canonicalFolder(const QString& folder) {
    char resolved[PATH_MAX];
    if (!::realpath(native(folder.isEmpty() ? QStringLiteral("/") : folder).constData(), resolved))
        return {};
    return QFile::decodeName(resolved);
}

bool sameFile(const QString& a, const QString& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(native(a).constData(), &first) == 0 && ::stat(native(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The names the program gives its own files. ".ent" anywhere in the name, as "A.ent.csv" is still easily taken
// for an entry file.
bool isDataFileName(const QString& name) {
    for (const char* dataName : {"member.dat", "uniinf.dat", "Gamename.txt", ".danceentry.lock"}) {
        if (name.compare(QLatin1String(dataName), Qt::CaseInsensitive) == 0)
            return true;
    }
    return name.contains(QLatin1String(".ent"), Qt::CaseInsensitive);
}

} // namespace

OutputTarget resolve_output_target(const QString& output) {
    OutputTarget target;
    // Not cleaned by name: "link/.." is the folder above the link's target, not the folder holding the link.
    QString current = QDir::isAbsolutePath(output) ? output : QDir::currentPath() + QLatin1Char('/') + output;
    for (int links = 0; links <= kMaxLinks; ++links) {
        while (current.size() > 1 && current.endsWith(QLatin1Char('/')))
            current.chop(1);
        const qsizetype slash = current.lastIndexOf(QLatin1Char('/'));
        const QString name = current.mid(slash + 1);
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
            // A folder in any case: resolved whole, and refused as not a regular file.
            const QString folder = canonicalFolder(current);
            target.path = folder.isEmpty() ? current : folder;
            return target;
        }
        const QString folder = canonicalFolder(current.left(slash));
        if (folder.isEmpty()) {
            target.path = current;
            return target;
        }
        if (folder != QDir::cleanPath(current.left(slash).isEmpty() ? QStringLiteral("/") : current.left(slash)))
            target.throughLink = true;
        const QString candidate = (folder == QLatin1String("/") ? folder : folder + QLatin1Char('/')) + name;
        const QString link = linkTarget(candidate);
        if (link.isEmpty()) {
            target.path = candidate;
            return target;
        }
        target.throughLink = true;
        current = QDir::isAbsolutePath(link) ? link : folder + QLatin1Char('/') + link;
    }
    target.loop = true;
    return target;
}

bool is_one_of(const QString& output, const QStringList& inputs) {
    const OutputTarget target = resolve_output_target(output);
    if (target.loop)
        return false;
    for (const QString& input : inputs) {
        const QString canonical = QFileInfo(input).canonicalFilePath();
        if ((!canonical.isEmpty() && canonical == target.path) || sameFile(target.path, input))
            return true;
    }
    return false;
}

QString output_refusal(const QString& output, const QStringList& inputs) {
    const QString shown = QDir::toNativeSeparators(output);
    const OutputTarget target = resolve_output_target(output);
    if (target.loop)
        return QStringLiteral("出力ファイル「%1」はシンボリックリンクが循環しているか、たどるリンクが多すぎるため、"
                              "書き込みません。")
            .arg(shown);
    // Said of the path as given, and of where its links lead when that is elsewhere.
    const QString leadsTo = target.throughLink
                                ? QStringLiteral("（リンク先「%1」）").arg(QDir::toNativeSeparators(target.path))
                                : QString();
    if (is_one_of(output, inputs))
        return QStringLiteral("出力ファイル「%1」%2は入力ファイルの一つです。入力ファイルには書き込みません。")
            .arg(shown, leadsTo);
    if (isDataFileName(QFileInfo(output).fileName()) || isDataFileName(QFileInfo(target.path).fileName()))
        return QStringLiteral("出力ファイル「%1」%2は DanceEntry のデータファイルの名前です。データファイルを上書き"
                              "しないよう、別の名前（例: entries.csv）を指定してください。")
            .arg(shown, leadsTo);
    struct stat status {};
    if (::stat(native(target.path).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return QStringLiteral(
                   "「%1」%2は通常のファイルではないため、書き込みません。ファイルの名前を指定してください。")
            .arg(shown, leadsTo);
    return {};
}
