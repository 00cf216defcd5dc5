#pragma once

// Shared helpers of the GUI tests: the main window on a state of its own, finding controls by objectName,
// clicking list headers and grid cells, and answering a real message box from a timer.

#include "couplegridview.h"
#include "mainwindow.h"
#include "memberlistview.h"
#include "scriptedprompter.h"
#include "testfiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <memory>

namespace guitest {

template <typename T> T* child(QObject* parent, const char* name) {
    return parent->findChild<T*>(QLatin1String(name));
}

// Empties a test's folder between test functions, so that every one starts with no files and no backups.
inline void removeFiles(const QTemporaryDir& dir) {
    for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
        QFile::remove(dir.filePath(name));
    QDir(dir.filePath(QStringLiteral("backup"))).removeRecursively();
}

// What every test of the main window starts from: a data folder of its own, a state in it with a roster, a
// scripted prompter, and the window built on that state when the test asks for it. A test class derives from it
// (after QObject) and calls resetState() in init() and closeWindow() in cleanup().
class MainWindowFixture {
protected:
    QTemporaryDir m_dir;
    AppState m_state;
    ScriptedPrompter m_prompter;
    std::unique_ptr<MainWindow> m_window;

    // A fresh state in the test's folder, for the university 蒼嶺大学, with the roster `members`; a fresh prompter.
    void resetState(const QList<MemberRecord>& members) {
        QVERIFY(m_dir.isValid());
        m_state = testfiles::stateIn(m_dir);
        m_state.members = members;
        m_state.memberCount = qint32(members.size());
        m_state.universityInfo.university = QStringLiteral("蒼嶺大学");
        m_prompter = ScriptedPrompter();
    }
    // The main window on the state (answering through `prompter` when given), laid out and shown in the member
    // view.
    MainWindow* startWindow(Prompter* prompter = nullptr) {
        m_window = std::make_unique<MainWindow>(m_state, prompter ? *prompter : m_prompter);
        m_window->openWindow();
        return m_window.get();
    }
    // The main window in the couple view of the entry t.ent that holds `couples`.
    CoupleGridView* startInCoupleView(const QList<CoupleRecord>& couples) {
        m_state.couples = couples;
        m_state.coupleCount = qint32(couples.size());
        m_state.entryFileName = QStringLiteral("t.ent");
        startWindow();
        QTest::mouseClick(m_window->findChild<QRadioButton*>(QStringLiteral("optCouple")), Qt::LeftButton);
        return m_window->coupleGrid();
    }
    // Closes the window and empties the folder, so that the next test starts with no files.
    void closeWindow() {
        m_window.reset();
        removeFiles(m_dir);
    }
    QAction* action(const char* name) const { return m_window->findChild<QAction*>(QLatin1String(name)); }
};

inline QString memberCaption(int count) {
    return QStringLiteral("メンバー数 : ") + QString::number(count) + QStringLiteral(" 人");
}

// Clicks the header of column `section` of a list, as the user does.
inline void clickHeader(QTreeWidget* list, int section) {
    QHeaderView* header = list->header();
    const QPoint pos(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
}

// Clicks row `row` of a list (with modifiers such as Ctrl for a multiple selection).
inline void clickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

inline QPoint cellCenter(CoupleGridView* grid, int row, int column) {
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    return grid->visualRect(index).center();
}

inline void clickCell(CoupleGridView* grid, int row, int column, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cellCenter(grid, row, column));
}

inline void doubleClickCell(CoupleGridView* grid, int row, int column) {
    const QPoint pos = cellCenter(grid, row, column);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, pos);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, pos);
}

inline QString cell(CoupleGridView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

// The names shown in the member list, top row first.
inline QStringList listedNames(QTreeWidget* list) {
    QStringList names;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        names << list->topLevelItem(row)->text(0);
    return names;
}

// Waits, from a timer, for the next modal message box, records it and presses `button`.
struct MessageBoxAnswer {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};

inline void answerNextMessageBox(MessageBoxAnswer* answer, QMessageBox::StandardButton button) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [answer, button, timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        answer->text = box->text();
        answer->title = box->windowTitle();
        answer->icon = box->icon();
        answer->seen = true;
        if (QAbstractButton* pressed = box->button(button))
            pressed->click();
        else
            box->reject();
    });
    timer->start();
}

// Runs `action` on the first visible top-level widget named `name`, from a timer, while a modal loop runs.
inline void onTopLevel(const char* name, std::function<void(QWidget*)> action, bool* done) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [name, action, done, timer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String(name) && widget->isVisible()) {
                timer->stop();
                timer->deleteLater();
                *done = true;
                action(widget);
                return;
            }
        }
    });
    timer->start();
}

} // namespace guitest
