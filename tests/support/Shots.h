#pragma once
// Pictures of windows for a person to look at, saved under $QUAYPORT_SHOTS
// (else "shots") as <name>.png.
#include <QDir>
#include <QString>
#include <QWidget>

// The picture's path; empty when it could not be saved.
inline QString SaveShot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("QUAYPORT_SHOTS", QStringLiteral("shots"));
    QDir().mkpath(folder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    return window.grab().save(path) ? path : QString();
}
