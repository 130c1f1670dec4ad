// Quayport: the FTP server console.
#include "console/ConsoleWindow.h"
#include "console/ProgramEntry.h"
#include "core/ProgramLifetime.h"
#include "console/TerminationSignals.h"
#include "console/frmMain.h"
#include "core/ErrorReporter.h"
#include "core/MessageService.h"
#include "platform/WidgetErrorReporter.h"
#include "platform/WidgetMessageService.h"

#include <QApplication>

namespace {

// The error reporter and the message service, for as long as the application
// lives. Without a screen no one can read or answer a box: messages and error
// reports then go to standard error, and questions take the safe answer.
class InstalledServices {
public:
    explicit InstalledServices(bool headless)
    {
        if (headless)
            return;
        InstallErrorReporter(std::make_shared<WidgetErrorReporter>());
        InstallMessageService(std::make_shared<WidgetMessageService>());
    }
    ~InstalledServices()
    {
        InstallErrorReporter(nullptr);
        InstallMessageService(nullptr);
    }
    InstalledServices(const InstalledServices&) = delete;
    InstalledServices& operator=(const InstalledServices&) = delete;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ModMain::PrepareApplication(app);
    const QString platform = QGuiApplication::platformName();
    InstalledServices services(platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"));
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
