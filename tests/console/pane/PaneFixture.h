#pragma once
// A console pane over standalone controls, wired to a real listening engine
// and the real session handlers, in a temporary application folder.
#include "console/ConnectionPanel.h"
#include "console/ConsoleProcess.h"
#include "console/ConsolePane.h"
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/Preparation.h"
#include "core/ProcessState.h"
#include "core/TextFile.h"
#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/ListViewControl.h"
#include "platform/TreeViewControl.h"
#include "session/ConsoleState.h"
#include "session/SessionHandlers.h"
#include "tests/support/OpenAccounts.h"
#include "tests/support/ProgramStart.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QFrame>
#include <memory>

// The console services of a window whose pane is the fixture's.
class PaneConsole : public ConsoleServices {
public:
    ConsolePane* pane = nullptr;
    void InfoLog(const QString&) override {}
    void UpdateUserTree() override
    {
        if (pane)
            pane->UpdateUserTree();
    }
    void ServerChanged(ServerChange) override {}
    void RestoreMousePointer() override {}
    void ProcessEventsOnce() override {}
};

struct PaneFixture {
    FreshProcess<ResetConsoleProcess> fresh;
    TempAppFolder home{false};
    InstalledDoubles doubles;
    FtpEngine engine;
    PaneConsole console;
    SessionHandlers handlers{engine, console};
    TreeViewControl tree;
    ListViewControl list;
    QFrame fmeList;
    ConnectionPanel panel;
    QFrame charts[6];
    QFrame log;
    std::unique_ptr<ConsolePane> pane;

    PaneFixture()
    {
        ModMain::PrepareApplicationFolder();
        ModMain::ServerConfig.Port = QStringLiteral("0");
        ModMain::ServerConfig.IdleTimeout = QStringLiteral("0");
        ModMain::ServerConfig.ServerRoot = home.file(QStringLiteral("/root"));
        ModMain::ServerConfig.AllowAnonymous = true;
        ModMain::ServerConfig.Put0Byte = true;
        ModMain::SaveConfig();

        WriteOpenAccount(QStringLiteral("bob"), QStringLiteral("secret"), QStringLiteral("staff"),
                         home.file(QStringLiteral("/root")));
        WriteOpenGroup(QStringLiteral("staff"), home.file(QStringLiteral("/root")));

        tree.SetImageList(TreeImages());
        list.SetImageLists(LargeListImages(), SmallListImages());
        tree.AddNode({}, QStringLiteral("root"), QStringLiteral("FTP Server"), 9, QStringLiteral("server"));
        tree.AddNode(QStringLiteral("root"), QStringLiteral("Active"), QStringLiteral("Connections"), 10);
        pane = std::make_unique<ConsolePane>(PaneControls{&engine, &tree, &list, &fmeList, &panel, &charts[0],
                                                          &charts[1], &charts[2], &charts[3], &charts[4],
                                                          &charts[5], &log, {}});
        console.pane = pane.get();
        engine.SetNotifySink(&handlers);
    }
    ~PaneFixture()
    {
        engine.StopListening();
    }
    quint16 start()
    {
        return handlers.StartServer() ? engine.BoundPort() : 0;
    }
};
