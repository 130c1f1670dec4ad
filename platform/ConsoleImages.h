#pragma once
// The console's image lists. Indexes are the ones the console's tree, list and
// toolbar refer to; indexes not named here hold no picture.
#include "platform/ImageList.h"

namespace TreeImage {
enum : int { Host = 2, User = 4, Group = 5, Logs = 8, Server = 9, Connections = 10, ServerLog = 13, UsersAndGroups = 18 };
}

namespace ListImage {
enum : int { User = 3, Group = 4, ServerLog = 5, Settings = 6, Connection = 9 };
}

namespace ToolbarImage {
enum : int { Start = 1, Stop, Home, Properties, AddUser, EditUsers, EditGroups, VirtualFolders, Refresh };
}

// The tree's list, 16 pixels.
ImageList TreeImages();
// The right-hand list's large (32 pixels) and small (16 pixels) lists, alike in their indexes.
ImageList LargeListImages();
ImageList SmallListImages();
// The main toolbar's buttons, 24 pixels.
ImageList ToolbarImages();
// The notification area's icon, also the windows' icon.
QIcon ProgramIcon();
