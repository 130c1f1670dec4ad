#include "platform/ColumnWidths.h"

#include <QFontMetricsF>
#include <cmath>

namespace {
// The digit width, in pixels, that the laid-out widths are taken to count.
constexpr double LayoutDigitWidth = 4.5;
}

int FittedColumnWidth(int designPixels, const QFont& font)
{
    const double digit = QFontMetricsF(font).horizontalAdvance(QStringLiteral("0123456789")) / 10;
    return int(std::ceil(designPixels * digit / LayoutDigitWidth));
}
