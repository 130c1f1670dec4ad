#pragma once
// A console that records what the session handlers ask of it.
#include "session/ConsoleServices.h"

#include <QStringList>
#include <map>
#include <optional>

class RecordingConsoleServices : public ConsoleServices {
public:
    void InfoLog(const QString& text) override { infoLines.append(text); }
    void UpdateUserTree() override { ++userTreeUpdates; }
    void SetCommandEnabled(ServerCommand command, bool enabled) override { commands[command] = enabled; }
    void RestoreMousePointer() override { ++pointerRestores; }
    void ProcessEventsOnce() override { ++eventPasses; }

    // The last enabled state set for a command; no value when never set.
    std::optional<bool> enabled(ServerCommand command) const
    {
        const auto it = commands.find(command);
        return it == commands.end() ? std::nullopt : std::optional<bool>(it->second);
    }

    QStringList infoLines;
    std::map<ServerCommand, bool> commands;
    int userTreeUpdates = 0;
    int pointerRestores = 0;
    int eventPasses = 0;
};
