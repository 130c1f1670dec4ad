#pragma once
// The program's own small pictures, drawn with QPainter so that no image file
// has to ship. Each glyph draws into a square of 16 units; GlyphIcon renders it
// at the sizes the lists, toolbars and tray use.
#include <QIcon>
#include <functional>

class QPainter;

using Glyph = std::function<void(QPainter&)>;

QIcon GlyphIcon(const Glyph& glyph);
// Draws the badge in the lower right quarter of the base glyph.
Glyph WithBadge(Glyph base, Glyph badge);

namespace Glyphs {
void Person(QPainter& p);
void People(QPainter& p);
void UsersAndGroups(QPainter& p);
void Host(QPainter& p);
void Server(QPainter& p);
void Connections(QPainter& p);
void LogPage(QPainter& p);
void ServerLog(QPainter& p);
void Settings(QPainter& p);
void Folder(QPainter& p);
void VirtualFolder(QPainter& p);
void Start(QPainter& p);
void Stop(QPainter& p);
void Home(QPainter& p);
void Properties(QPainter& p);
void Refresh(QPainter& p);
void Plus(QPainter& p);
void Pencil(QPainter& p);
void Tray(QPainter& p);
} // namespace Glyphs
