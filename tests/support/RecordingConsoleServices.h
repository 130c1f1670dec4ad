#pragma once
// A console that records what the session handlers ask of it.
#include "session/ConsoleServices.h"

#include <QStringList>

class RecordingConsoleServices : public ConsoleServices {
public:
    void InfoLog(const QString& text) override { infoLines.append(text); }
    void UpdateUserTree() override { ++userTreeUpdates; }
    void ServerChanged(ServerChange change) override { serverChanges.append(change); }
    void RestoreMousePointer() override { ++pointerRestores; }
    void ProcessEventsOnce() override { ++eventPasses; }

    QStringList infoLines;
    QList<ServerChange> serverChanges;
    int userTreeUpdates = 0;
    int pointerRestores = 0;
    int eventPasses = 0;
};
