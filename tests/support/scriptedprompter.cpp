#include "scriptedprompter.h"

void ScriptedPrompter::showMessage(const QString& text, Icon icon) {
    m_shown.append({Shown::Message, text, icon, {}, {}, {}, {}});
}

void ScriptedPrompter::showDetailedMessage(const QString& text, const QString& details, Icon icon) {
    m_shown.append({Shown::Message, text, icon, {}, {}, {}, details});
}

bool ScriptedPrompter::askYesNo(const QString& text, Icon icon) {
    m_shown.append({Shown::Question, text, icon, {}, {}, {}, {}});
    return m_answers.isEmpty() ? defaultAnswer : m_answers.takeFirst();
}

bool ScriptedPrompter::askYesNoWithDetails(const QString& text, const QString& details, Icon icon) {
    const bool answer = askYesNo(text, icon);
    m_shown.last().details = details;
    return answer;
}

bool ScriptedPrompter::askYesNoUntilAnswered(const QString& text, Icon icon) {
    const bool answer = askYesNo(text, icon);
    m_shown.last().escapable = false;
    return answer;
}

bool ScriptedPrompter::askYesNoNoPreselected(const QString& text, Icon icon) {
    const bool answer = askYesNo(text, icon);
    m_shown.last().yesPreselected = false;
    return answer;
}

QString ScriptedPrompter::inputText(const QString& title, const QString& prompt, const QString& proposed) {
    m_shown.append({Shown::Input, prompt, Icon::Information, title, proposed, {}, {}});
    return m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
}

QString ScriptedPrompter::chooseFile(const FileRequest& request) {
    m_shown.append({Shown::File, request.title, Icon::Information, {}, {}, request, {}});
    return m_files.isEmpty() ? QString() : m_files.takeFirst();
}

bool ScriptedPrompter::showFolder(const QString& folder) {
    m_shown.append({Shown::Folder, folder, Icon::Information, {}, {}, {}, {}});
    return folderShows;
}

qsizetype ScriptedPrompter::chooseAction(const QString& text, const QStringList& choices, qsizetype escapeChoice,
                                         Icon icon) {
    Shown shown{Shown::Choice, text, icon, {}, {}, {}, {}};
    shown.choices = choices;
    m_shown.append(shown);
    if (m_choices.isEmpty())
        return escapeChoice;
    const qsizetype chosen = choices.indexOf(m_choices.takeFirst());
    return chosen >= 0 ? chosen : escapeChoice;
}

QStringList ScriptedPrompter::messages() const {
    QStringList result;
    for (const Shown& s : m_shown) {
        if (s.kind == Shown::Message || s.kind == Shown::Choice)
            result << s.text;
    }
    return result;
}

QStringList ScriptedPrompter::questions() const {
    QStringList result;
    for (const Shown& s : m_shown) {
        if (s.kind == Shown::Question)
            result << s.text;
    }
    return result;
}
