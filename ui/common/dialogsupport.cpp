#include "dialogsupport.h"

#include "twips.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTreeWidget>

namespace dialogsupport {
namespace {

// Turns the double click of a text box into "select everything, caret at the start".
class SelectAllFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonDblClick)
            return false;
        if (auto* line = qobject_cast<QLineEdit*>(watched)) {
            select_all_text(line);
            return true;
        }
        // A plain text edit receives its mouse events in its viewport.
        if (auto* plain = qobject_cast<QPlainTextEdit*>(watched->parent())) {
            select_all_text(plain);
            return true;
        }
        return false;
    }
};

} // namespace

void make_fixed_window(QDialog* dialog, int clientWidth, int clientHeight) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setSizeGripEnabled(false);
    dialog->setFixedSize(twips::size(clientWidth, clientHeight, dialog));
}

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips::rect(left, top, width, height, widget));
}

void place_growing(QWidget* widget, int left, int top, int width, int height) {
    const QRect designed = twips::rect(left, top, width, height, widget);
    const QSize needed = widget->sizeHint();
    widget->setGeometry(designed.x(), designed.y(), qMax(designed.width(), needed.width()),
                        qMax(designed.height(), needed.height()));
}

void label_for(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    control->setAccessibleName(label->text());
}

void select_all_text(QLineEdit* box) {
    const int length = int(box->text().size());
    // A negative length selects backwards, which leaves the caret at the start.
    box->setSelection(length, -length);
    if (length == 0)
        box->setCursorPosition(0);
}

void select_all_text(QPlainTextEdit* box) {
    QTextCursor cursor = box->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

void select_all_on_double_click(QLineEdit* box) {
    box->installEventFilter(new SelectAllFilter(box));
}

void select_all_on_double_click(QPlainTextEdit* box) {
    box->viewport()->installEventFilter(new SelectAllFilter(box));
}

void clearSelection(QTreeWidget* list) {
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        list->topLevelItem(row)->setSelected(false);
}

QString shown_text(const QString& text) {
    if (text.size() <= kMaxShownCharacters)
        return text;
    return text.left(kMaxShownCharacters) + QChar(0x2026);
}

CommandKey command_key(const QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return CommandKey::None;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return CommandKey::Open;
    case Qt::Key_Delete:
        return CommandKey::Delete;
    case Qt::Key_Space:
        return CommandKey::Switch;
    default:
        return CommandKey::None;
    }
}

} // namespace dialogsupport
