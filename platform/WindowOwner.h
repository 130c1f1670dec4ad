#pragma once
// Tells the window system that a window on screen belongs to another (its
// transient parent), so that the window manager keeps it above that one. Qt
// tells it only as it maps a window, and only for dialog windows; on other
// window systems this does nothing.
class QWindow;

void TellWindowOwner(QWindow& window, const QWindow& owner);
