#pragma once
// The one rule for the widths of list and table columns. The widths the lists
// were laid out with count pixels of a narrow face; ours is wider, so a
// column gets its width in proportion to its own font's digit width. The
// proportion is chosen so that a megabyte figure of five whole digits
// ("12345.678.901") still fits the narrowest column made to hold one, the
// 60-pixel columns of the statistics tables, margins included.
class QFont;

// The width in pixels of a column laid out designPixels wide, in this font.
int FittedColumnWidth(int designPixels, const QFont& font);
