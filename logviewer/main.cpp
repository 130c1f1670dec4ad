// Scrollbook: the log viewer. Started by the session bus to serve its class,
// or with "/regserver" to register that class.
#include "core/MessageService.h"
#include "logviewer/Registration.h"
#include "logviewer/ScrollbookServer.h"
#include "platform/ConsoleImages.h"
#include "platform/ProgramBoxes.h"
#include "platform/ProgramFonts.h"
#include "platform/ScrollbookClass.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    // Registering opens no display: the switch is read before any window system is asked for.
    if (Registration::HasRegServerSwitch(argc, argv)) {
        QCoreApplication app(argc, argv);
        return Registration::RegisterServer(QCoreApplication::applicationFilePath());
    }

    QApplication app(argc, argv);
    SetProgramTitle(QStringLiteral("Scrollbook"));
    QApplication::setApplicationName(ProgramTitle());
    // The server decides when the program ends; a closed error box is no reason.
    app.setQuitOnLastWindowClosed(false);
    UseProgramFont();
    QApplication::setWindowIcon(ProgramIcon());
    ProgramBoxes boxes;

    ScrollbookServer server(QDBusConnection::sessionBus());
    if (!server.Register()) {
        std::fprintf(stderr, "Scrollbook: cannot serve %s on the session bus\n",
                     qUtf8Printable(ScrollbookClass::Name));
        return 1;
    }
    QObject::connect(&server, &ScrollbookServer::Finished, &app, &QCoreApplication::quit);
    return app.exec();
}
