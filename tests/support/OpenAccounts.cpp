#include "tests/support/OpenAccounts.h"

#include "core/TextFile.h"

AccountRecord OpenAccount(const QString& name, const QString& password, const QString& group, const QString& root)
{
    AccountRecord a;
    a.Permissions = PermissionSet::all(true);
    a.UserId = name;
    a.Password = password;
    a.Group = group;
    a.RootFolder = root;
    return a;
}

bool WriteOpenAccount(const QString& name, const QString& password, const QString& group, const QString& root)
{
    return bool(WriteLines(AccountFilePath(name), AccountFileLines(OpenAccount(name, password, group, root))));
}

bool WriteOpenGroup(const QString& name, const QString& root)
{
    GroupRecord g;
    g.Permissions = PermissionSet::all(true);
    g.RootFolder = root;
    return bool(WriteLines(GroupFilePath(name), GroupFileLines(g, false)));
}
