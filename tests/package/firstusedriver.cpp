// Preloaded (LD_PRELOAD) into the installed danceentry by tst_installed, this library uses the program's real
// windows as a user does: it types the university name of DANCEENTRY_TEST_UNIVERSITY into the first-use dialog,
// clicks OK, and closes the main window once it is shown, answering a save question with No and any other message
// with OK. It tells on standard error what it did, for the test's report.

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

namespace {

bool g_universityAnswered = false;
bool g_mainClosed = false;

void say(const QString& what) {
    std::fprintf(stderr, "driver: %s\n", what.toLocal8Bit().constData());
}

QWidget* shownTopLevel(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Typing as an input method delivers it: one key event with the composed text per character.
void type(QWidget* box, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
        QCoreApplication::sendEvent(box, &release);
    }
}

void answerMessage(QMessageBox* box) {
    say(QStringLiteral("message \"%1\"").arg(box->text()));
    if (QAbstractButton* no = box->button(QMessageBox::No))
        no->click();
    else if (QAbstractButton* ok = box->button(QMessageBox::Ok))
        ok->click();
    else
        box->reject();
}

void answerUniversity(QWidget* dialog) {
    auto* university = dialog->findChild<QLineEdit*>(QStringLiteral("txt_University"));
    auto* ok = dialog->findChild<QAbstractButton*>(QStringLiteral("cmd_OK"));
    if (!university || !ok) {
        say(QStringLiteral("frm_entry has no txt_University or cmd_OK"));
        dialog->close();
        return;
    }
    const QString name = qEnvironmentVariable("DANCEENTRY_TEST_UNIVERSITY");
    type(university, name);
    say(QStringLiteral("typed \"%1\" into txt_University, clicking cmd_OK").arg(university->text()));
    ok->click();
}

// One look at the windows, every tenth of a second; message boxes first, since they block what is behind them.
void step() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        answerMessage(box);
        return;
    }
    if (QWidget* dialog = shownTopLevel("frm_entry")) {
        if (g_universityAnswered) {
            say(QStringLiteral("frm_entry is still open after OK; closing it"));
            dialog->close();
            return;
        }
        g_universityAnswered = true;
        answerUniversity(dialog);
        return;
    }
    QWidget* window = shownTopLevel("frm_main");
    if (window && !g_mainClosed) {
        g_mainClosed = true;
        say(QStringLiteral("frm_main shown, closing it"));
        window->close();
    }
}

void startDriving() {
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, timer, &step);
    timer->start(100);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriving)
