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

    void undo() override { m_recorder.undo(m_step); }
    void redo() override {
        if (m_pushed)
            m_recorder.redo(m_step);
        m_pushed = true;
    }

private:
    EditRecorder& m_recorder;
    const EditStep m_step;
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
}
