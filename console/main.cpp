// Quayport: the FTP server console.
#include "console/ConsoleWindow.h"
#include "console/ProgramEntry.h"
#include "core/ProgramLifetime.h"
#include "console/TerminationSignals.h"
#include "console/frmMain.h"
#include "platform/ProgramBoxes.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ModMain::PrepareApplication(app);
    ProgramBoxes boxes;
    ConsoleWindowLifetime console;

    // A termination from outside closes the console as its window would.
    TerminationSignals signals;
    QObject::connect(&signals, &TerminationSignals::Received, &app, [] {
        if (frmMain* window = ConsoleWindowIfOpen())
            window->close();
        ProgramLifetime::End(0);
    });

    ModMain::Main();
    if (!ProgramLifetime::Ending())
        app.exec();
    return ProgramLifetime::ExitStatus();
}
