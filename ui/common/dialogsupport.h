#pragma once

class QDialog;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QWidget;

#include <QLatin1String>
#include <QString>

// Small pieces shared by the windows: the designed layout in twips, select-all on double click, clearing a
// member list's selection and the command keys of the lists.
namespace dialogsupport {

// `control` with its objectName set, for building a window in one expression.
template <typename Control> Control* named(Control* control, const char* objectName) {
    control->setObjectName(QLatin1String(objectName));
    return control;
}

// A fixed-size dialog window (no minimise and maximise buttons) whose client area has the designed size.
void make_fixed_window(QDialog* dialog, int clientWidth, int clientHeight);

// Places a control at its designed position and size.
void place(QWidget* widget, int left, int top, int width, int height);

// Places a label or option button at its designed position; where the designed size is too small for its
// text in the font of this platform, it grows to the right and downwards so that nothing is clipped.
void place_growing(QWidget* widget, int left, int top, int width, int height);

// Makes `label` the caption of `control`: its buddy, and the name by which a screen reader speaks of the control.
// The designed captions carry no mnemonic, so they stay exactly as designed.
void label_for(QLabel* label, QWidget* control);

// Puts the caret at the start of the box and selects its whole text.
void select_all_text(QLineEdit* box);
void select_all_text(QPlainTextEdit* box);

// A double click in the box selects its whole text (instead of one word).
void select_all_on_double_click(QLineEdit* box);
void select_all_on_double_click(QPlainTextEdit* box);

// Deselects every row of the list; a list without rows stays as it is.
void clearSelection(QTreeWidget* list);

// A text as a list cell or a name label shows it: at most kMaxShownCharacters characters, then "…". A cell is far
// narrower, and painting measures the whole text to cut it off at the cell's edge, which for one of the longest
// texts a file can hold (65,535 bytes) takes tens of milliseconds per cell and seconds for a screenful.
inline constexpr qsizetype kMaxShownCharacters = 256;
QString shown_text(const QString& text);

// The keys with which the lists and the grid run their commands: Enter (the main keyboard's or the keypad's)
// opens the current record, Delete deletes, Space switches the current cell. Keys held with Ctrl, Alt or Shift
// are none of them.
enum class CommandKey { None, Open, Delete, Switch };
CommandKey command_key(const QKeyEvent* event);

} // namespace dialogsupport
