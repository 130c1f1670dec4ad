#pragma once
// Failing writes on purpose. Root writes anywhere, so tests that need an
// unwritable folder drop to an unprivileged user inside a forked child.
#include <QString>

// Lets others read and enter the folder (and its parents) but not write it.
void MakeReadOnlyForOthers(const QString& folder);
// In a forked child: switch to the user "nobody" when running as root.
void BecomeUnprivileged();
