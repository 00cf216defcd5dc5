#include "menubarkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace {

// The application's style, except that the menu bar answers Alt alone (Qt's own keyboard mode of the menu bar,
// which Fusion and the other Linux styles leave off) and shows where the keyboard is in it.
class MenuBarKeysStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        // The menu bar has the focus only in its keyboard mode. Fusion highlights a menu's caption only while the
        // menu is open; the current one is drawn so here too.
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && widget && widget->hasFocus() && (item->state & State_Selected)) {
            QStyleOptionMenuItem current = *item;
            current.state |= State_Sunken;
            QProxyStyle::drawControl(element, &current, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// F10 acts as Alt pressed and released alone: the keys go where Alt would go, the widget with the focus, from
// which they reach the window that the menu bar watches.
void pressAltAlone(QMainWindow* window) {
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus && focus->window() == window ? focus : window;
    QKeyEvent shortcutOverride(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(target, &shortcutOverride);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

} // namespace

void enable_menu_bar_keys(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    // Only the menu bar gets the changed style; the menus and every other control keep the application's.
    auto* style = new MenuBarKeysStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(bar);
    bar->setStyle(style);

    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
    f10->setObjectName(QStringLiteral("key_menu_bar"));
    QObject::connect(f10, &QShortcut::activated, window, [window] { pressAltAlone(window); });
}
