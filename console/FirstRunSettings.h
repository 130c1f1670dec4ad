#pragma once
// The settings a first run writes when Config.txt is missing.
#include "core/ProcessState.h"

#include <QString>

namespace ModMain {

inline constexpr char SupportEmail[] = "support@quayport.example";

// The 22 greeting lines, each followed by CR LF.
QString DefaultGreeting();
// The nine first-run settings; the listen address is the engine's local address.
ServerSettings FirstRunSettings(const QString& localAddress);

} // namespace ModMain
