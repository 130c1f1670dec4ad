#pragma once
// The program's end lives in core, where the preparation and the settings see it.
#include "core/ProgramLifetime.h"
