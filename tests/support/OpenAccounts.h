#pragma once
// Account and group files that allow every command, written with the
// program's own writers. Each writer returns false when nothing was written.
#include "core/Accounts.h"

#include <QString>

AccountRecord OpenAccount(const QString& name, const QString& password, const QString& group, const QString& root);
bool WriteOpenAccount(const QString& name, const QString& password, const QString& group, const QString& root);
bool WriteOpenGroup(const QString& name, const QString& root);
