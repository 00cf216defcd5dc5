#include "qtprompter.h"

#include "textcheck.h"
#include "usersettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

namespace {
QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Stop:
        return QMessageBox::Critical;
    case Prompter::Icon::Information:
        break;
    }
    return QMessageBox::Information;
}

// A message box that only its buttons close. QMessageBox gives Escape and the close button to its No button;
// here both are refused until a button is pressed.
class AnswerRequiredBox : public QMessageBox {
public:
    AnswerRequiredBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons, QWidget* parent)
        : QMessageBox(icon, title, text, buttons, parent) {
        // QMessageBox always adds the close button; a title alone leaves it out where the window manager obeys.
        setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!clickedButton()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }
};

// Asks in `box`, Yes preselected (Enter answers Yes, as the designed questions do).
bool askInBox(QMessageBox& box) {
    box.setObjectName(QStringLiteral("msg_box"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}
} // namespace

QString QtPrompter::applicationTitle() {
    return QStringLiteral("DanceEntry");
}

void QtPrompter::showMessage(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), applicationTitle(), lines_for_display(text), QMessageBox::Ok, dialogParent());
    box.setObjectName(QStringLiteral("msg_box"));
    box.exec();
}

void QtPrompter::showDetailedMessage(const QString& text, const QString& details, Icon icon) {
    QMessageBox box(boxIcon(icon), applicationTitle(), lines_for_display(text), QMessageBox::Ok, dialogParent());
    box.setObjectName(QStringLiteral("msg_box"));
    if (!details.isEmpty())
        box.setDetailedText(lines_for_display(details));
    box.exec();
}

bool QtPrompter::askYesNo(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), applicationTitle(), lines_for_display(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    return askInBox(box);
}

bool QtPrompter::askYesNoWithDetails(const QString& text, const QString& details, Icon icon) {
    QMessageBox box(boxIcon(icon), applicationTitle(), lines_for_display(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    if (!details.isEmpty())
        box.setDetailedText(lines_for_display(details));
    return askInBox(box);
}

bool QtPrompter::askYesNoNoPreselected(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), applicationTitle(), lines_for_display(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setObjectName(QStringLiteral("msg_box"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtPrompter::askYesNoUntilAnswered(const QString& text, Icon icon) {
    AnswerRequiredBox box(boxIcon(icon), applicationTitle(), lines_for_display(text),
                          QMessageBox::Yes | QMessageBox::No, dialogParent());
    return askInBox(box);
}

qsizetype QtPrompter::chooseAction(const QString& text, const QStringList& choices, qsizetype escapeChoice, Icon icon) {
    QMessageBox box(boxIcon(icon), applicationTitle(), lines_for_display(text), QMessageBox::NoButton, dialogParent());
    box.setObjectName(QStringLiteral("msg_box"));
    // The path in the text can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        QPushButton* button =
            box.addButton(choices[i], i == escapeChoice ? QMessageBox::RejectRole : QMessageBox::ActionRole);
        button->setObjectName(QStringLiteral("cmd_choice_%1").arg(i));
        button->setAccessibleName(choices[i]);
        buttons.append(button);
    }
    if (escapeChoice >= 0 && escapeChoice < buttons.size())
        box.setEscapeButton(buttons[escapeChoice]);
    if (!buttons.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return chosen >= 0 ? chosen : escapeChoice;
}

QString QtPrompter::inputText(const QString& title, const QString& prompt, const QString& proposed) {
    QInputDialog dialog(dialogParent());
    dialog.setObjectName(QStringLiteral("input_box"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(lines_for_display(prompt));
    dialog.setTextValue(proposed);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtPrompter::chooseFile(const FileRequest& request) {
    // A dialog without a folder of its own starts where the user last chose a file, if that folder is still there.
    const std::unique_ptr<QSettings> settings = usersettings::open();
    QString folder = request.initialFolder;
    if (folder.isEmpty() && settings) {
        const QString last = settings->value(QLatin1String(usersettings::kLastFolder)).toString();
        if (!last.isEmpty() && QFileInfo(last).isDir())
            folder = last;
    }
    QFileDialog dialog(dialogParent(), request.title, folder, qt_name_filters(request.filter));
    dialog.setObjectName(QStringLiteral("cdg_file"));
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::AnyFile : QFileDialog::AnyFile);
    // The caller decides about existing files; no question here. A name typed without an extension gets the
    // request's suffix, if it names one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    // Qt's own dialog cuts the size, type and date columns short ("605...tes"): they are made as wide as their
    // texts and the names take the rest. A dialog of the platform has no such list and is left as it is.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        details->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    if (settings)
        settings->setValue(QLatin1String(usersettings::kLastFolder), QFileInfo(chosen).absolutePath());
    return chosen;
}

bool QtPrompter::showFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

QString qt_name_filters(const QString& barFilter) {
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        if (pattern.isEmpty() || description.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QStringLiteral(" (") +
                           QString(pattern).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}
