#include "logviewer/ScrollbookServer.h"

#include "logviewer/frmScrollbook.h"
#include "platform/FrontWindow.h"
#include "platform/ScrollbookClass.h"

ScrollbookServer::ScrollbookServer(const QDBusConnection& bus, std::chrono::milliseconds idlePeriod, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
    , m_class(*this)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(idlePeriod);
    connect(&m_idle, &QTimer::timeout, this, &ScrollbookServer::finish);
    m_idle.start();

    // A connection lost is noticed by looking: the bus sends nothing when it ends.
    m_busWatch.setInterval(1000);
    connect(&m_busWatch, &QTimer::timeout, this, [this] {
        if (!m_bus.isConnected())
            end();
    });
    m_busWatch.start();
}

ScrollbookServer::~ScrollbookServer()
{
    for (const QPointer<frmScrollbook>& window : std::as_const(m_windows))
        delete window.data();
    if (m_registered) {
        m_bus.unregisterService(ScrollbookClass::Name);
        m_bus.unregisterObject(ScrollbookClass::Path);
    }
}

bool ScrollbookServer::Register()
{
    if (!m_bus.isConnected()
        || !m_bus.registerObject(ScrollbookClass::Path, &m_class, QDBusConnection::ExportScriptableSlots))
        return false;
    if (!m_bus.registerService(ScrollbookClass::Name)) {
        m_bus.unregisterObject(ScrollbookClass::Path);
        return false;
    }
    m_registered = true;
    return true;
}

frmScrollbook* ScrollbookServer::OpenWindow(const QString& logPath)
{
    m_idle.stop();
    auto* window = new frmScrollbook(logPath);
    m_windows.append(window);
    connect(window, &QObject::destroyed, this, &ScrollbookServer::windowGone, Qt::QueuedConnection);
    // Asked for by the administrator in the console, which has the focus.
    ShowInFront(*window);
    return window;
}

QList<frmScrollbook*> ScrollbookServer::Windows() const
{
    QList<frmScrollbook*> open;
    for (const QPointer<frmScrollbook>& window : m_windows)
        if (window)
            open.append(window);
    return open;
}

void ScrollbookServer::windowGone()
{
    m_windows.removeIf([](const QPointer<frmScrollbook>& window) { return window.isNull(); });
    if (m_windows.isEmpty())
        finish();
}

void ScrollbookServer::finish()
{
    if (m_finished)
        return;
    m_idle.stop();
    if (m_registered && m_bus.isConnected())
        m_bus.unregisterService(ScrollbookClass::Name);
    m_registered = false;
    // A request that reached this viewer before it let go of its name still
    // gets its window, and the viewer lives on for it.
    QTimer::singleShot(100, this, [this] {
        if (!m_finished && Windows().isEmpty())
            end();
    });
}

void ScrollbookServer::end()
{
    if (m_finished)
        return;
    m_finished = true;
    m_idle.stop();
    m_busWatch.stop();
    Q_EMIT Finished();
}
