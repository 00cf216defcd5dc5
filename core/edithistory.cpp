#include "edithistory.h"

#include <utility>

AreaSnapshot take_snapshot(const AppState& state, EditArea area) {
    AreaSnapshot snapshot;
    if (area == EditArea::Roster) {
        snapshot.members = state.members;
        snapshot.count = state.memberCount;
    } else {
        snapshot.couples = state.couples;
        snapshot.count = state.coupleCount;
    }
    return snapshot;
}

EditRecorder::EditRecorder(AppState& state, QObject* parent)
    : QObject(parent),
      m_state(state), m_last{take_snapshot(state, EditArea::Roster), take_snapshot(state, EditArea::Entry)} {
    StateNotifier* notifier = state.notifier.get();
    connect(notifier, &StateNotifier::rosterChanged, this,
            [this](const QString& step) { follow(EditArea::Roster, step); });
    connect(notifier, &StateNotifier::couplesChanged, this,
            [this](const QString& step) { follow(EditArea::Entry, step); });
}

void EditRecorder::follow(EditArea area, const QString& step) {
    if (m_restoring)
        return;
    AreaSnapshot now = take_snapshot(m_state, area);
    AreaSnapshot& last = m_last[int(area)];
    if (step.isEmpty()) {
        last = std::move(now);
        emit historyEnded(area);
        return;
    }
    // An edit that changed nothing (a deletion of rows that were gone already) is no step.
    if (now == last) {
        last = std::move(now);
        return;
    }
    const EditStep recorded{area, step, std::exchange(last, now), now};
    emit stepRecorded(recorded);
}

void EditRecorder::undo(const EditStep& step) {
    restore(step, step.before);
}

void EditRecorder::redo(const EditStep& step) {
    restore(step, step.after);
}

void EditRecorder::restore(const EditStep& step, const AreaSnapshot& snapshot) {
    m_restoring = true;
    if (step.area == EditArea::Roster) {
        m_state.members = snapshot.members;
        m_state.memberCount = snapshot.count;
        m_state.markRosterChanged(step.text);
    } else {
        m_state.couples = snapshot.couples;
        m_state.coupleCount = snapshot.count;
        m_state.markCouplesChanged(step.text);
    }
    m_restoring = false;
    m_last[int(step.area)] = snapshot;
}
