#pragma once

#include "prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

// A prompter that answers from a script and records everything it was asked, for tests.
// Questions without a scripted answer get `defaultAnswer`; input boxes and file dialogs without a
// scripted answer are cancelled (the empty text).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        enum Kind { Message, Question, Input, File, Folder, Choice } kind;
        QString text; // message or question text, input prompt, file dialog title, folder shown
        Icon icon = Icon::Information;
        QString title;    // input box title
        QString proposed; // input box proposal
        FileRequest file;
        QString details;            // the details of a message
        bool escapable = true;      // a question that Escape answers (false: askYesNoUntilAnswered)
        bool yesPreselected = true; // false: askYesNoNoPreselected
        QStringList choices{};      // the buttons of a message with buttons of its own
    };

    void setNextAnswer(bool yes) { m_answers.append(yes); }
    void setNextInput(const QString& text) { m_inputs.append(text); }
    void setNextFile(const QString& path) { m_files.append(path); }
    // The button pressed in the next message with buttons of its own, by its text; without one, Escape's.
    void setNextChoice(const QString& choice) { m_choices.append(choice); }
    bool defaultAnswer = false;
    bool folderShows = true; // the answer of showFolder

    void showMessage(const QString& text, Icon icon) override;
    void showDetailedMessage(const QString& text, const QString& details, Icon icon) override;
    bool askYesNo(const QString& text, Icon icon) override;
    bool askYesNoWithDetails(const QString& text, const QString& details, Icon icon) override;
    bool askYesNoUntilAnswered(const QString& text, Icon icon) override;
    bool askYesNoNoPreselected(const QString& text, Icon icon) override;
    QString inputText(const QString& title, const QString& prompt, const QString& proposed) override;
    QString chooseFile(const FileRequest& request) override;
    bool showFolder(const QString& folder) override;
    qsizetype chooseAction(const QString& text, const QStringList& choices, qsizetype escapeChoice, Icon icon) override;

    const QList<Shown>& shown() const { return m_shown; }
    QStringList messages() const;  // texts of the OK boxes and of the messages with buttons, in order
    QStringList questions() const; // texts of the Yes/No boxes (of both kinds), in order
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    bool unusedAnswers() const {
        return !m_answers.isEmpty() || !m_inputs.isEmpty() || !m_files.isEmpty() || !m_choices.isEmpty();
    }
    void clear() { m_shown.clear(); }

private:
    QList<bool> m_answers;
    QStringList m_inputs;
    QStringList m_files;
    QStringList m_choices;
    QList<Shown> m_shown;
};
