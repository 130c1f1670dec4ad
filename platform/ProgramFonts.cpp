#include "platform/ProgramFonts.h"

#include <QApplication>

namespace {
constexpr int PointSize = 9;
}

QFont ProgramFont()
{
    return QFont(QStringLiteral("DejaVu Sans"), PointSize);
}

QFont FixedPitchFont()
{
    QFont font(QStringLiteral("DejaVu Sans Mono"), PointSize);
    font.setStyleHint(QFont::Monospace);
    return font;
}

void UseProgramFont()
{
    QApplication::setFont(ProgramFont());
}
