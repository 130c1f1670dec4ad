#pragma once
// Windows that come and go on behalf of a form without being forms of their
// own: message and input boxes, menus and other pop-ups, tooltips. Moving to
// one of them neither deactivates the form nor takes the focus from its control.

class QWidget;

bool IsTransientWindow(const QWidget* window);
