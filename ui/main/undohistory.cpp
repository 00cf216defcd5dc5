#include "undohistory.h"

#include <QUndoGroup>
#include <QUndoStack>

namespace {

// One step on a stack. The edit has happened when the step is pushed, so the push's own redo does nothing.
class EditCommand : public QUndoCommand {
public:
    EditCommand(EditRecorder& recorder, const EditStep& step) : m_recorder(recorder), m_step(step) {
        setText(step.text);
    }

    const EditStep& step() const { return m_step; }
    qint64 bytes() const { return m_bytes; }

    void undo() override { m_recorder.undo(m_step); }
    void redo() override {
        if (m_pushed)
            m_recorder.redo(m_step);
        m_pushed = true;
    }

private:
    EditRecorder& m_recorder;
    const EditStep m_step;
    const qint64 m_bytes = m_step.bytes();
    bool m_pushed = false;
};

} // namespace

UndoHistory::UndoHistory(AppState& state, QObject* parent)
    : QObject(parent), m_recorder(new EditRecorder(state, this)),
      m_group(new QUndoGroup(this)), m_stacks{new QUndoStack(m_group), new QUndoStack(m_group)} {
    for (QUndoStack* stack : m_stacks)
        stack->setUndoLimit(kLimit);
    connect(m_recorder, &EditRecorder::stepRecorded, this, &UndoHistory::push);
    connect(m_recorder, &EditRecorder::historyEnded, this, [this](EditArea area) { stack(area)->clear(); });
    showArea(EditArea::Roster);
}

void UndoHistory::showArea(EditArea area) {
    m_group->setActiveStack(stack(area));
}

void UndoHistory::push(const EditStep& step) {
    stack(step.area)->push(new EditCommand(*m_recorder, step));
    keepWithinBytes(step.area);
}

void UndoHistory::keepWithinBytes(EditArea area) {
    QUndoStack* steps = stack(area);
    // Pushed last, so every step on the stack is one to undo (none waits for a redo).
    qint64 total = 0;
    int first = steps->count() - 1;
    for (; first > 0; --first) {
        total += static_cast<const EditCommand*>(steps->command(first))->bytes();
        if (total + static_cast<const EditCommand*>(steps->command(first - 1))->bytes() > kByteLimit)
            break;
    }
    if (first == 0)
        return;
    // A stack drops steps only at its count limit: the steps that stay are put on it anew.
    QList<EditStep> kept;
    for (int i = first; i < steps->count(); ++i)
        kept.append(static_cast<const EditCommand*>(steps->command(i))->step());
    steps->clear();
    for (const EditStep& step : kept)
        steps->push(new EditCommand(*m_recorder, step));
}
