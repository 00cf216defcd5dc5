#pragma once

#include <QObject>
#include <QString>

#include <memory>

// Tells every view what changed in the one AppState it belongs to, so that no window refreshes another by
// hand. The operations that change the roster or the couples emit; the main window's lists, its caption and
// an open couple editor listen.
class StateNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The roster was changed or replaced. `step` names the user's edit that changed it ("メンバー削除"), which the
    // undo history keeps as one step; it is empty when the roster was replaced as a whole (advanced a year), which
    // no undo can go back across.
    void rosterChanged(const QString& step = QString());
    // The couples of the open entry were changed or replaced; `step` as for the roster (empty when another entry
    // was opened or created, or the open one was read again).
    void couplesChanged(const QString& step = QString());
    // Another entry file was opened or created, or the open one got a new name.
    void entryFileChanged();
};

// The notifier that belongs to one state. A copy of a state is another state: it gets a notifier of its own,
// to which nobody listens yet. The notifier is no part of the data, so states compare equal whatever theirs.
class OwnNotifier {
public:
    OwnNotifier() : m_notifier(std::make_unique<StateNotifier>()) {}
    OwnNotifier(const OwnNotifier&) : OwnNotifier() {}
    OwnNotifier& operator=(const OwnNotifier&) { return *this; }
    bool operator==(const OwnNotifier&) const { return true; }

    StateNotifier* operator->() const { return m_notifier.get(); }
    StateNotifier* get() const { return m_notifier.get(); }

private:
    std::unique_ptr<StateNotifier> m_notifier;
};
