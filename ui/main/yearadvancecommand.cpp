#include "yearadvancecommand.h"

#include "qtprompter.h"
#include "yearadvance.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QProgressDialog>

#include <memory>

namespace {

// A progress window without a cancel button that neither Escape nor the window system closes: the year
// advance cannot stop half-way.
class UncancellableProgress : public QProgressDialog {
public:
    explicit UncancellableProgress(QWidget* parent)
        : QProgressDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
        setObjectName(QStringLiteral("dlg_progress"));
        setWindowTitle(QtPrompter::applicationTitle());
        setWindowModality(Qt::ApplicationModal);
        setCancelButton(nullptr);
        setAutoReset(false);
        setAutoClose(false);
    }

    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

bool run_year_advance(AppState& state, Prompter& prompter, int progressDelayMs) {
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
    // Made at the first report, so that it measures its delay from the start of the rewriting.
    std::unique_ptr<QProgressDialog> window;
    const auto progress = [&window, progressDelayMs](int done, int total) {
        if (done >= total) {
            window.reset(); // gone before any message about the files
            return;
        }
        if (!window) {
            window = std::make_unique<UncancellableProgress>(QApplication::activeWindow());
            window->setMinimumDuration(progressDelayMs);
            window->setRange(0, total);
        }
        // File n of m: the one being rewritten now.
        window->setLabelText(
            QStringLiteral("学年を１つあげたファイルを保存しています。（%1 / %2）").arg(done + 1).arg(total));
        window->setValue(done);
    };
    const bool advanced = command_year_advance(state, prompter, setBusy, progress);
    window.reset();
    // Never leave the busy pointer behind, whatever path the command took.
    while (busyLevel > 0)
        setBusy(false);
    return advanced;
}
