#pragma once
// The viewer process: it serves the class on the session bus and owns every
// window it opens. It is finished when its last window closes, when no window
// has opened within the idle period, or when its bus goes away.
//
// All windows live on this one GUI thread: Qt widgets cannot live on any
// other. Where each viewer once had a thread of its own, each window here
// holds its own state (its path and whether it has read the file), so the
// viewers share nothing but the thread and never wait on one another except
// while one of them reads its file.
#include "logviewer/clsFrmScrollbook.h"

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>

class frmScrollbook;

class ScrollbookServer final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultIdlePeriod{5000};

    ScrollbookServer(const QDBusConnection& bus, std::chrono::milliseconds idlePeriod = DefaultIdlePeriod,
                     QObject* parent = nullptr);
    ~ScrollbookServer() override;

    // Registers the object and takes the class's name; false when the bus
    // refuses either (no bus, or another viewer serves already).
    bool Register();

    // A new window on the path, shown without an owner, in front with the focus.
    frmScrollbook* OpenWindow(const QString& logPath);
    QList<frmScrollbook*> Windows() const;
    clsFrmScrollbook& Class() { return m_class; }

Q_SIGNALS:
    // Emitted once. The name is released first, so later requests start a new viewer.
    void Finished();

private:
    void finish();
    void end();
    void windowGone();

    QDBusConnection m_bus;
    clsFrmScrollbook m_class;
    QList<QPointer<frmScrollbook>> m_windows;
    QTimer m_idle;
    QTimer m_busWatch;
    bool m_registered = false;
    bool m_finished = false;
};
