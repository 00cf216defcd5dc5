#include "edithistory.h"

#include <QtGlobal>

#include <utility>

namespace {

// The changed middle of two lists: how many records at the start and at the end are the same on both sides.
template <typename Record>
std::pair<qsizetype, qsizetype> unchangedEnds(const QList<Record>& from, const QList<Record>& to) {
    if (from.isSharedWith(to))
        return {from.size(), 0};
    const qsizetype shorter = qMin(from.size(), to.size());
    qsizetype head = 0;
    while (head < shorter && from[head] == to[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        ++tail;
    return {head, tail};
}

template <typename Record>
void fillStep(EditStep& step, const QList<Record>& from, const QList<Record>& to, QList<Record>& before,
              QList<Record>& after) {
    const auto [head, tail] = unchangedEnds(from, to);
    step.start = head;
    step.sizeBefore = from.size();
    step.sizeAfter = to.size();
    before = from.mid(head, from.size() - head - tail);
    after = to.mid(head, to.size() - head - tail);
}

template <typename T> qint64 ownBytes(const QList<T>& list, const QList<T>* other) {
    return other && list.isSharedWith(*other) ? 0 : qint64(list.size()) * qint64(sizeof(T));
}

qint64 recordBytes(const MemberRecord&, const MemberRecord*) {
    return sizeof(MemberRecord);
}

qint64 recordBytes(const CoupleRecord& couple, const CoupleRecord* other) {
    return sizeof(CoupleRecord) + ownBytes(couple.partners, other ? &other->partners : nullptr) +
           ownBytes(couple.partnerDances, other ? &other->partnerDances : nullptr) +
           ownBytes(couple.danceFlags, other ? &other->danceFlags : nullptr);
}

template <typename Record> qint64 middleBytes(const QList<Record>& side, const QList<Record>& other) {
    qint64 bytes = 0;
    for (qsizetype i = 0; i < side.size(); ++i)
        bytes += recordBytes(side[i], i < other.size() ? &other[i] : nullptr);
    return bytes;
}

// Puts `middle` in place of the `replaced` records from `start` on.
template <typename Record>
void putBack(QList<Record>& list, qsizetype start, qsizetype replaced, const QList<Record>& middle) {
    if (replaced == middle.size()) {
        std::copy(middle.cbegin(), middle.cend(), list.begin() + start);
        return;
    }
    list.remove(start, replaced);
    list.insert(start, middle.size(), Record());
    std::copy(middle.cbegin(), middle.cend(), list.begin() + start);
}

} // namespace

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

qint64 EditStep::bytes() const {
    // A whole list (an edit that changed its first and its last record) is kept as the list itself, shared with
    // the step before and the one after; only a part cut out of a list is a copy of its own.
    const qsizetype beforeSize = area == EditArea::Roster ? before.members.size() : before.couples.size();
    const bool partBefore = beforeSize < sizeBefore;
    return qint64(sizeof(EditStep)) +
           (partBefore ? middleBytes(before.members, QList<MemberRecord>()) +
                             middleBytes(before.couples, QList<CoupleRecord>())
                       : 0) +
           middleBytes(after.members, before.members) + middleBytes(after.couples, before.couples);
}

std::optional<EditStep> make_step(EditArea area, const QString& text, const AreaSnapshot& from,
                                  const AreaSnapshot& to) {
    EditStep step;
    step.area = area;
    step.text = text;
    if (area == EditArea::Roster)
        fillStep(step, from.members, to.members, step.before.members, step.after.members);
    else
        fillStep(step, from.couples, to.couples, step.before.couples, step.after.couples);
    step.before.count = from.count;
    step.after.count = to.count;
    if (step.before == step.after && step.sizeBefore == step.sizeAfter)
        return std::nullopt;
    return step;
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
    const std::optional<EditStep> recorded = make_step(area, step, last, now);
    last = std::move(now);
    if (recorded)
        emit stepRecorded(*recorded);
}

void EditRecorder::undo(const EditStep& step) {
    restore(step, step.after, step.sizeAfter, step.before);
}

void EditRecorder::redo(const EditStep& step) {
    restore(step, step.before, step.sizeBefore, step.after);
}

void EditRecorder::restore(const EditStep& step, const AreaSnapshot& present, qsizetype presentSize,
                           const AreaSnapshot& wanted) {
    // The area holds what the step's other side left: undo and redo go through the steps in order, and a change
    // that is no step ends the history. A list of another length can only be a fault: it is left as it is.
    const bool roster = step.area == EditArea::Roster;
    const qsizetype replaced = roster ? present.members.size() : present.couples.size();
    const qsizetype size = roster ? m_state.members.size() : m_state.couples.size();
    if (size != presentSize || step.start + replaced > size) {
        qWarning("undo: the %s no longer matches the step", roster ? "roster" : "entry");
        return;
    }
    m_restoring = true;
    if (roster) {
        putBack(m_state.members, step.start, replaced, wanted.members);
        m_state.memberCount = wanted.count;
        m_state.markRosterChanged(step.text);
    } else {
        putBack(m_state.couples, step.start, replaced, wanted.couples);
        m_state.coupleCount = wanted.count;
        m_state.markCouplesChanged(step.text);
    }
    m_restoring = false;
    m_last[int(step.area)] = take_snapshot(m_state, step.area);
}
