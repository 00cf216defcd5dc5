#include "desktoplauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace desktop {
namespace {

DesktopLauncher*& chosen() {
    static DesktopLauncher* launcher = nullptr;
    return launcher;
}

class SystemLauncher : public DesktopLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        const QString found = QStandardPaths::findExecutable(program);
        return !found.isEmpty() && QProcess::startDetached(found, arguments);
    }

    bool showInFolder(const QString& file) override {
        if (showItem(file))
            return true;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath()));
    }

private:
    // org.freedesktop.FileManager1.ShowItems, which file managers answer by showing the folder with the file
    // selected. Waits a few seconds at most for the answer; false where no file manager answers.
    static bool showItem(const QString& file) {
        const QString dbusSend = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
        if (dbusSend.isEmpty())
            return false;
        // dbus-send splits its arrays at commas: they are escaped in the address like any other reserved character.
        QString url = QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded());
        url.replace(QLatin1Char(','), QStringLiteral("%2C"));
        QProcess process;
        process.start(dbusSend,
                      {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                       QStringLiteral("--reply-timeout=3000"), QStringLiteral("--dest=org.freedesktop.FileManager1"),
                       QStringLiteral("/org/freedesktop/FileManager1"),
                       QStringLiteral("org.freedesktop.FileManager1.ShowItems"), QStringLiteral("array:string:") + url,
                       QStringLiteral("string:")});
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(1000);
            return false;
        }
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
};

} // namespace

DesktopLauncher& launcher() {
    return chosen() ? *chosen() : no_desktop_launcher();
}

void use_launcher(DesktopLauncher* launcher) {
    chosen() = launcher;
}

DesktopLauncher& system_launcher() {
    static SystemLauncher launcher;
    return launcher;
}

} // namespace desktop
