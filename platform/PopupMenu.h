#pragma once
// Pops a menu up without waiting, its top left corner at a point given in twips
// within the widget (the old forms placed their pop-up menus that way). A menu
// opened from a button never covers it: where it would, it opens just below.
class QMenu;
class QWidget;

void PopupMenuAt(QMenu& menu, const QWidget& widget, int xTwips, int yTwips, const QWidget* button = nullptr);
