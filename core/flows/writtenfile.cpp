#include "writtenfile.h"

#include <QDir>
#include <QFileInfo>

namespace {

class NoLauncher : public DesktopLauncher {
public:
    bool startDetached(const QString&, const QStringList&) override { return false; }
    bool showInFolder(const QString&) override { return false; }
};

} // namespace

DesktopLauncher& no_desktop_launcher() {
    static NoLauncher launcher;
    return launcher;
}

void offer_written_file(const QString& text, const QString& path, const QString& mailSubject, Prompter& prompter,
                        DesktopLauncher& launcher) {
    QStringList choices;
    if (!mailSubject.isEmpty())
        choices << QString::fromUtf8(kSendByMail);
    choices << QString::fromUtf8(kOpenFolder) << QString::fromUtf8(kCloseMessage);
    const qsizetype close = choices.size() - 1;
    const qsizetype chosen = prompter.chooseAction(text, choices, close, Prompter::Icon::Information);
    if (chosen < 0 || chosen >= close)
        return;
    const QString shown = QDir::toNativeSeparators(path);
    if (choices[chosen] == QString::fromUtf8(kSendByMail)) {
        const QStringList arguments = {QStringLiteral("--subject"), mailSubject, QStringLiteral("--attach"),
                                       QFileInfo(path).absoluteFilePath()};
        if (!launcher.startDetached(QStringLiteral("xdg-email"), arguments))
            prompter.showMessage(QStringLiteral("メールのプログラムを開けませんでした。\n"
                                                "メールを作り、ファイル「%1」を添付して送ってください。")
                                     .arg(shown),
                                 Prompter::Icon::Exclamation);
        return;
    }
    if (!launcher.showInFolder(QFileInfo(path).absoluteFilePath()))
        prompter.showMessage(QStringLiteral("フォルダを開けませんでした。\nファイルは「%1」にあります。").arg(shown),
                             Prompter::Icon::Exclamation);
}

QString entry_mail_subject(const QString& university, const QString& gameName) {
    return university + QLatin1Char(' ') + gameName + QStringLiteral(" エントリー");
}
