#pragma once
// The eight operations a session may be granted, as one small value: an
// account's own set, its group's set and the dialogs' working copies all hold
// one, and a permission check reads one flag of it.

struct PermissionSet {
    bool ChangeDir = false;
    bool DeleteFile = false;
    bool Dir = false;
    bool GetFile = false;
    bool MakeDir = false;
    bool PutFile = false;
    bool RemoveDir = false;
    bool RenameFile = false;

    static constexpr PermissionSet all(bool value)
    {
        return {value, value, value, value, value, value, value, value};
    }
};
