#pragma once
// One console under test: the console program's state reset before and after
// (ResetConsoleProcess), a fresh application folder with the cipher key,
// recording error reports and scripted boxes, the program's end recorded
// instead of leaving the event loop, and the console window made on demand
// and destroyed with the fixture.
#include "console/ConsoleProcess.h"
#include "tests/console/ConsoleControls.h"
#include "tests/support/ProgramStart.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestDoubles.h"

#include <QStringList>
#include <functional>
#include <memory>

class frmMain;
class ConsoleWindowLifetime;
class QDialog;

class ConsoleFixture {
public:
    // Port "0" lets the engine take a free port.
    struct Settings {
        QString port = QStringLiteral("0");
        QString idle = QStringLiteral("5");
        QString root; // the folder "root" when empty
        bool startServer = true;
        bool allowAnonymous = true;
        QString greeting = QStringLiteral("Hello\r\nthere");
        QString loggedOn = QStringLiteral("Welcome back");

        Settings& Port(const QString& p) { port = p; return *this; }
        Settings& Idle(const QString& i) { idle = i; return *this; }
        Settings& Root(const QString& r) { root = r; return *this; }
        Settings& Stopped() { startServer = false; return *this; }
    };

    // Without the standard folders the application folder starts empty.
    explicit ConsoleFixture(bool standardFolders = true);
    ~ConsoleFixture();

    // Writes Config.txt, then forgets the settings in memory as a new process would.
    void writeConfig(const Settings& settings);
    void writeConfig() { writeConfig(Settings()); }
    // The console, made and loaded on first use.
    frmMain& console();
    // The ends the program asked for, in order.
    const QList<int>& ends() const { return m_ends; }
    // The rows of the console's server log; the message column of each.
    QStringList consoleMessages() const;
    // The six-line records' messages of logs/S_Log.txt.
    QStringList serverLogMessages() const;
    // Account bob (password "secret", every command) in group staff, both
    // rooted at the folder "root".
    void writeBob() const;

    // Runs action once on the modal dialog of that name while its event loop runs.
    void onModalDialog(const QString& name, std::function<void(QDialog&)> action);

    FreshProcess<ResetConsoleProcess> fresh;
    TempAppFolder folder;
    InstalledDoubles doubles;

private:
    std::unique_ptr<ConsoleWindowLifetime> m_lifetime;
    QList<int> m_ends;
};
