#include "platform/BrowserModule.h"

#include "core/ProgramError.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {

BrowserModule::ShowWindow& replacedEntry()
{
    static BrowserModule::ShowWindow entry = nullptr;
    return entry;
}

} // namespace

namespace BrowserModule {

QString DefaultPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/quaybrowser.so");
}

ShowWindow Load(const QString& path)
{
    // The web engine cannot be unloaded once it has run, so the module stays.
    QLibrary module(path);
    module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!module.load())
        throw ProgramError(53, QStringLiteral("Quayport"),
                           QStringLiteral("The browser cannot be opened: ") + module.errorString());
    auto entry = reinterpret_cast<ShowWindow>(module.resolve(EntryName));
    if (!entry)
        throw ProgramError(453, QStringLiteral("Quayport"),
                           QStringLiteral("The browser cannot be opened: ") + module.errorString());
    return entry;
}

QWidget* Show()
{
    static ShowWindow loaded = nullptr;
    if (ShowWindow entry = replacedEntry())
        return entry();
    if (!loaded)
        loaded = Load(DefaultPath());
    return loaded();
}

void ReplaceEntry(ShowWindow entry)
{
    replacedEntry() = entry;
}

} // namespace BrowserModule
