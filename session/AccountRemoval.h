#pragma once
// Removing an account or a group with exactly the files the program keeps for
// it. A name reaches a path only as one literal component; rotated logs stay.
#include <QString>

// users/U_<name>, logs/U_<name>.txt, the eight statistics counter files,
// users/stats/Trend_<name>.txt and Trend_User_Day_<name>.<stamp>.txt. False
// when the name is no safe name or the account file is still there.
bool RemoveAccountFiles(const QString& name);
// groups/G_<name>, logs/G_<name>.txt and Trend_Group_Day_<name>.<stamp>.txt,
// with the same result for the group file.
bool RemoveGroupFiles(const QString& name);
