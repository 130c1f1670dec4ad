#pragma once
// What one viewer keeps between its procedures: the path it was given and
// whether its first activation has read the file. Each window holds its own.
#include <QString>

struct ViewerState {
    QString LogPath;        // as given to LoadLog; only the file test trims a trailing "/"
    bool LogLoaded = false; // set by the first activation, never cleared
};
