#pragma once
// The program's two faces: every window uses DejaVu Sans, fixed-pitch text DejaVu Sans Mono.
#include <QFont>

QFont ProgramFont();
QFont FixedPitchFont();

// Makes ProgramFont() the default of every widget; call once after creating the application.
void UseProgramFont();
