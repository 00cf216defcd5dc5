#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Window layouts were designed in twips (1/1440 inch); these convert them at the screen's logical DPI.
namespace twips {
int toPixelsX(int twips, const QWidget* widget = nullptr);
int toPixelsY(int twips, const QWidget* widget = nullptr);
QRect rect(int left, int top, int width, int height, const QWidget* widget = nullptr);
QSize size(int width, int height, const QWidget* widget = nullptr);
} // namespace twips
