#pragma once
// The log viewer's class as both programs see it on the session bus: its
// well-known name (also its interface and class identifier), its object, its
// one method and the error it answers with when it cannot do what was asked.
#include <QString>

namespace ScrollbookClass {

inline const QString Name = QStringLiteral("Scrollbook.clsFrmScrollbook");
inline const QString Interface = Name;
inline const QString Path = QStringLiteral("/clsFrmScrollbook");
inline const QString LoadLog = QStringLiteral("LoadLog");

// The viewer's own failure: the error's name and its text.
inline const QString FailureError = QStringLiteral("Scrollbook.clsFrmScrollbook.Error.ComponentFailure");
inline const QString FailureText = QStringLiteral("clsFrmScrollbook component failure");

} // namespace ScrollbookClass
