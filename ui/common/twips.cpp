#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace twips {
namespace {
qreal dpiX(const QWidget* widget) {
    if (widget)
        return widget->logicalDpiX();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
qreal dpiY(const QWidget* widget) {
    if (widget)
        return widget->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
} // namespace

int toPixelsX(int twips, const QWidget* widget) {
    return int(std::lround(twips * dpiX(widget) / 1440.0));
}
int toPixelsY(int twips, const QWidget* widget) {
    return int(std::lround(twips * dpiY(widget) / 1440.0));
}

QRect rect(int left, int top, int width, int height, const QWidget* widget) {
    return QRect(toPixelsX(left, widget), toPixelsY(top, widget), toPixelsX(width, widget), toPixelsY(height, widget));
}

QSize size(int width, int height, const QWidget* widget) {
    return QSize(toPixelsX(width, widget), toPixelsY(height, widget));
}
} // namespace twips
