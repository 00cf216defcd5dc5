#pragma once

#include "edithistory.h"
#include "records.h"

#include <QObject>

class QUndoGroup;
class QUndoStack;

// The undo history of the main window: one QUndoStack for the roster and one for the open entry, in one
// QUndoGroup whose active stack is that of the view on screen, so that 元に戻す and やり直し act on what the user
// sees. Every edit of the user becomes one command on its stack; a change that is no edit (another entry file,
// the year advance) empties the stack of its area. Each stack keeps the last kLimit steps, and of them only as many
// as hold kByteLimit together: steps keep only the records they changed, so that takes a hundred edits of whole
// lists at the largest roster and entry, and keeps the program within its memory bound.
class UndoHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 100;
    static constexpr qint64 kByteLimit = 64 * 1024 * 1024;

    explicit UndoHistory(AppState& state, QObject* parent = nullptr);

    QUndoGroup* group() const { return m_group; }
    QUndoStack* stack(EditArea area) const { return m_stacks[int(area)]; }
    // Makes the stack of `area` the active one: the roster's in the member view, the entry's in the couple view.
    void showArea(EditArea area);

private:
    void push(const EditStep& step);
    // Drops the oldest steps of `area` beyond kByteLimit; the newest step always stays.
    void keepWithinBytes(EditArea area);

    EditRecorder* m_recorder;
    QUndoGroup* m_group;
    QUndoStack* m_stacks[2];
};
