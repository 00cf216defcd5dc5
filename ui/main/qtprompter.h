#pragma once

#include "prompter.h"

#include <QPointer>
#include <QWidget>

// The prompter of the running program: Qt's message boxes, input dialog and file dialogs, each with the
// application's title, parented to the window that is active at the moment.
class QtPrompter : public Prompter {
public:
    static QString applicationTitle();

    void showMessage(const QString& text, Icon icon) override;
    bool askYesNo(const QString& text, Icon icon) override;
    QString inputText(const QString& title, const QString& prompt, const QString& proposed) override;
    QString chooseFile(const FileRequest& request) override;
};
