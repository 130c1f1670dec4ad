#include "tests/console/ConsoleFixture.h"

#include "console/ConsoleWindow.h"
#include "core/ProgramLifetime.h"
#include "console/frmMain.h"
#include "core/Accounts.h"
#include "core/Config.h"
#include "core/ProcessState.h"
#include "core/TextFile.h"
#include "platform/RowList.h"
#include "session/ConsoleState.h"
#include "tests/support/OpenAccounts.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

ConsoleFixture::ConsoleFixture(bool standardFolders)
    : folder(standardFolders)
{
    ProgramLifetime::SetTerminator([this](int status) { m_ends.append(status); });
    m_lifetime = std::make_unique<ConsoleWindowLifetime>();
}

ConsoleFixture::~ConsoleFixture()
{
    m_lifetime.reset();
}

void ConsoleFixture::writeConfig(const Settings& s)
{
    using ModMain::ServerConfig;
    ServerConfig.IP = QStringLiteral("127.0.0.1");
    ServerConfig.Port = s.port;
    ServerConfig.IdleTimeout = s.idle;
    ServerConfig.Put0Byte = true;
    ServerConfig.ServerRoot = s.root.isEmpty() ? folder.file(QStringLiteral("/root")) : s.root;
    ServerConfig.Greeting = s.greeting;
    ServerConfig.LoggedOnMessage = s.loggedOn;
    ServerConfig.AllowAnonymous = s.allowAnonymous;
    ServerConfig.StartServer = s.startServer;
    ModMain::SaveConfig();
    ServerConfig = {};
}

frmMain& ConsoleFixture::console()
{
    return ConsoleWindow();
}

QStringList ConsoleFixture::consoleMessages() const
{
    QStringList out;
    if (frmMain* window = ConsoleWindowIfOpen()) {
        const RowList& log = *Controls(*window).lstServerLog;
        for (int row = 0; row < log.RowCount(); ++row)
            out.append(log.Cell(row, 4));
    }
    return out;
}

QStringList ConsoleFixture::serverLogMessages() const
{
    const QList<QByteArray> lines = folder.read(QStringLiteral("/logs/S_Log.txt")).split('\n');
    QStringList out;
    for (int i = 5; i < lines.size(); i += 6)
        out.append(QString::fromLatin1(lines.at(i)).remove(QLatin1Char('\r')));
    return out;
}

void ConsoleFixture::onModalDialog(const QString& name, std::function<void(QDialog&)> action)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, name, action = std::move(action)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->objectName() != name)
            return;
        poll->stop();
        poll->deleteLater();
        action(*dialog);
    });
    poll->start();
}

void ConsoleFixture::writeBob() const
{
    const QString root = folder.file(QStringLiteral("/root"));
    QVERIFY(WriteOpenAccount(QStringLiteral("bob"), QStringLiteral("secret"), QStringLiteral("staff"), root));
    QVERIFY(WriteOpenGroup(QStringLiteral("staff"), root));
}
