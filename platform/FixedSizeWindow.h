#pragma once
// A window of one size, which the window manager offers neither to resize
// nor to maximize.
class QSize;
class QWidget;

void SetFixedWindowSize(QWidget& window, const QSize& size);
