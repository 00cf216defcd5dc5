#pragma once

#include "records.h"

#include <QList>
#include <QObject>
#include <QString>

// The undo history without the windows. Every edit of the user marks its change with the name of a step (see
// AppState::markRosterChanged); the recorder turns each such change into an EditStep that holds the list and its
// count as they were before and after the edit. A change told without a step name (another entry file opened or
// created, the year advance) is no step: the history of that area ends there, since nothing taken before it may
// be put back over it.

enum class EditArea { Roster, Entry };

// The records of one area at one moment: the whole list (elements beyond the count included) and the count.
// QList is implicitly shared, so a snapshot costs a reference until the state's list is next written.
struct AreaSnapshot {
    QList<MemberRecord> members; // the roster
    QList<CoupleRecord> couples; // the couples of the open entry
    qint32 count = 0;

    bool operator==(const AreaSnapshot&) const = default;
};

AreaSnapshot take_snapshot(const AppState& state, EditArea area);

// One edit: what its area held before and after it.
struct EditStep {
    EditArea area = EditArea::Roster;
    QString text; // what the user did, as the menu names it ("メンバー削除")
    AreaSnapshot before;
    AreaSnapshot after;
};

// Follows one state's notifier and reports every edit as a step. Undo and redo go through it, so that putting a
// snapshot back is not taken for a new edit.
class EditRecorder : public QObject {
    Q_OBJECT
public:
    explicit EditRecorder(AppState& state, QObject* parent = nullptr);

    // Puts back what the step's area held before (undo) or after (redo) the edit. Neither touches a file: the
    // area is marked changed, as by any edit (a later quit asks again), and the views follow.
    void undo(const EditStep& step);
    void redo(const EditStep& step);

signals:
    // An edit changed its area: one step for the history.
    void stepRecorded(const EditStep& step);
    // The area was replaced by a change that is no step: every step kept for it is void.
    void historyEnded(EditArea area);

private:
    void follow(EditArea area, const QString& step);
    void restore(const EditStep& step, const AreaSnapshot& snapshot);

    AppState& m_state;
    AreaSnapshot m_last[2]; // what each area held after the last change seen, indexed by EditArea
    bool m_restoring = false;
};
