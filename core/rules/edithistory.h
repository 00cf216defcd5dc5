#pragma once

#include "records.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The undo history without the windows. Every edit of the user marks its change with the name of a step (see
// AppState::markRosterChanged); the recorder turns each such change into an EditStep that holds what the edit
// changed: the records between an unchanged beginning and an unchanged end of the list, as they were before and
// after the edit, and the count. The records that stayed are kept by no step, so a hundred steps on the largest
// roster cost what they changed, not a hundred copies of the list. A change told without a step name (another entry
// file opened or created, the year advance) is no step: the history of that area ends there, since nothing taken before
// it may be put back over it.

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

// One edit: what it changed in its area. `before` and `after` hold the records from `start` on that differ (the
// list's other records were the same before and after) and the whole count; `sizeBefore` and `sizeAfter` are the
// lengths of the whole list, which undo and redo check before they put anything back.
struct EditStep {
    EditArea area = EditArea::Roster;
    QString text; // what the user did, as the menu names it ("メンバー削除")
    qsizetype start = 0;
    qsizetype sizeBefore = 0;
    qsizetype sizeAfter = 0;
    AreaSnapshot before;
    AreaSnapshot after;

    // About how much memory the step holds of its own: the records it keeps and what they hold that their other
    // side does not share (texts are left out: an edit shares them or makes a few). A whole list kept before the
    // edit is the list the step before it left, and is counted there.
    qint64 bytes() const;
};

// The step that turns `from` into `to`, or none (nullopt) when they are the same.
std::optional<EditStep> make_step(EditArea area, const QString& text, const AreaSnapshot& from, const AreaSnapshot& to);

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
    // Puts `wanted` in place of `present`, the side of the step the area holds now (a list of `presentSize`).
    void restore(const EditStep& step, const AreaSnapshot& present, qsizetype presentSize, const AreaSnapshot& wanted);

    AppState& m_state;
    AreaSnapshot m_last[2]; // what each area held after the last change seen, indexed by EditArea
    bool m_restoring = false;
};
