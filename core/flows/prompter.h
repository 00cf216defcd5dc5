#pragma once

#include <QString>
#include <QStringList>

// What the program asks of the user: messages, Yes/No questions, a line of text and a file choice.
// Logic talks only to this interface, so that tests answer with a script and the program with Qt dialogs.
class Prompter {
public:
    enum class Icon { Information, Exclamation, Stop };

    // What a file dialog shows; built with designated initialisers, every field left out keeps its default.
    struct FileRequest {
        QString initialFolder{}; // empty: the dialog's own default
        bool open = true;        // false: a save dialog
        QString filter{};        // "description|pattern|description|pattern|"
        QString fileName{};      // proposed name
        QString title{};
        QString defaultSuffix{}; // added to a name typed without an extension ("ent", not ".ent")
    };

    virtual ~Prompter() = default;

    // An OK box with the application's title.
    virtual void showMessage(const QString& text, Icon icon) = 0;
    // An OK box with a short `text` and the full `details` (long lists) behind the box's details button, so that
    // the box fits the screen however long the lists are. A prompter without such a button shows them below.
    virtual void showDetailedMessage(const QString& text, const QString& details, Icon icon) {
        showMessage(details.isEmpty() ? text : text + QStringLiteral("\n\n") + details, icon);
    }
    // A Yes/No box; true only for Yes. Escape and the window's close button answer No.
    virtual bool askYesNo(const QString& text, Icon icon) = 0;
    // A Yes/No box with the full `details` behind the box's details button, as showDetailedMessage.
    virtual bool askYesNoWithDetails(const QString& text, const QString& details, Icon icon) {
        return askYesNo(details.isEmpty() ? text : text + QStringLiteral("\n\n") + details, icon);
    }
    // A Yes/No box with No preselected, for a question whose Yes stores something the user may not have meant
    // (a second member of the same name): Enter, Escape and the close button answer No.
    virtual bool askYesNoNoPreselected(const QString& text, Icon icon) { return askYesNo(text, icon); }
    // A Yes/No box that only its two buttons answer: Escape and the window's close button do nothing. For a
    // question whose No gives up work (the save questions), so that no key answers it by accident.
    virtual bool askYesNoUntilAnswered(const QString& text, Icon icon) = 0;
    // A message with buttons of its own (`choices`, in their order); returns the index of the one pressed. Escape
    // and the window's close button answer `escapeChoice`. A prompter without such buttons shows the text alone.
    virtual qsizetype chooseAction(const QString& text, const QStringList& choices, qsizetype escapeChoice, Icon icon) {
        Q_UNUSED(choices);
        showMessage(text, icon);
        return escapeChoice;
    }
    // An input box; the empty text when cancelled.
    virtual QString inputText(const QString& title, const QString& prompt, const QString& proposed) = 0;
    // The system's file dialog; the confirmed path, or the empty text when cancelled.
    virtual QString chooseFile(const FileRequest& request) = 0;
    // Shows `folder` in the system's file manager; true when the file manager was started. A prompter that
    // cannot show folders keeps this answer: false, so that the caller says so.
    virtual bool showFolder(const QString& folder) {
        Q_UNUSED(folder);
        return false;
    }
};
