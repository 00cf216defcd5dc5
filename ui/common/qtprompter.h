#pragma once

#include "prompter.h"

#include <QString>

// The prompter of the running program: Qt's message boxes, input dialog and file dialogs, each with the
// application's title, parented to the window that is active at the moment.
class QtPrompter : public Prompter {
public:
    static QString applicationTitle();

    void showMessage(const QString& text, Icon icon) override;
    void showDetailedMessage(const QString& text, const QString& details, Icon icon) override;
    bool askYesNo(const QString& text, Icon icon) override;
    bool askYesNoWithDetails(const QString& text, const QString& details, Icon icon) override;
    bool askYesNoNoPreselected(const QString& text, Icon icon) override;
    // A message box without a close button in its title bar (where the window manager leaves it out); Escape,
    // Alt+F4 and the close button, where there is one, do nothing.
    bool askYesNoUntilAnswered(const QString& text, Icon icon) override;
    // The buttons in the order given, the first one preselected; Escape and the close button press `escapeChoice`.
    qsizetype chooseAction(const QString& text, const QStringList& choices, qsizetype escapeChoice, Icon icon) override;
    QString inputText(const QString& title, const QString& prompt, const QString& proposed) override;
    QString chooseFile(const FileRequest& request) override;
    bool showFolder(const QString& folder) override;
};

// The program's filter "desc|pattern|desc|pattern|" as a Qt name filter list ("desc (pattern);;...").
QString qt_name_filters(const QString& barFilter);
