#pragma once

#include "prompter.h"

#include <QString>
#include <QStringList>

// What follows the writing of a file the user takes elsewhere (the exported entry, a PDF): a closing message that
// names the full path and offers to hand the file on.

// The programs such a message starts: the desktop's mail program and its file manager. They are started through
// this seam so that tests never start a real program.
class DesktopLauncher {
public:
    virtual ~DesktopLauncher() = default;
    // Starts `program` with `arguments` without waiting for it; false when it could not be started (not installed).
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Shows the folder of `file` in the file manager, the file selected where the file manager can; false when no
    // file manager could be started.
    virtual bool showInFolder(const QString& file) = 0;
};

// A launcher that starts nothing: every start fails and is said so. For code that has no desktop to hand.
DesktopLauncher& no_desktop_launcher();

// The buttons of the closing message, in their order.
inline constexpr char kSendByMail[] = "メールで送る";
inline constexpr char kOpenFolder[] = "フォルダを開く";
inline constexpr char kCloseMessage[] = "閉じる";

// Shows `text` (which names `path`) with フォルダを開く and 閉じる, and メールで送る first when `mailSubject` is not
// empty; Escape answers 閉じる. メールで送る opens a new mail with the file attached (xdg-email), フォルダを開く the
// file manager; when that program cannot be started, a message says so and names the file.
void offer_written_file(const QString& text, const QString& path, const QString& mailSubject, Prompter& prompter,
                        DesktopLauncher& launcher);

// The subject of the mail that sends an exported entry: "東都大学 春の新人戦 エントリー".
QString entry_mail_subject(const QString& university, const QString& gameName);
