#include "yearadvancecommand.h"

#include "yearadvance.h"

#include <QApplication>
#include <QCursor>

bool run_year_advance(AppState& state, Prompter& prompter) {
    int busyLevel = 0;
    const auto setBusy = [&busyLevel](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            ++busyLevel;
        } else if (busyLevel > 0) {
            QApplication::restoreOverrideCursor();
            --busyLevel;
        }
    };
    const bool advanced = command_year_advance(state, prompter, setBusy);
    // Never leave the busy pointer behind, whatever path the command took.
    while (busyLevel > 0)
        setBusy(false);
    return advanced;
}
