#pragma once
// The viewer's class on the session bus. LoadLog opens one window on the path
// and returns at once; the window reads the file afterwards. A blank path, or a
// window that cannot be made, answers the component failure instead.
#include <QDBusContext>
#include <QObject>

class ScrollbookServer;

class clsFrmScrollbook final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Scrollbook.clsFrmScrollbook")
public:
    explicit clsFrmScrollbook(ScrollbookServer& server, QObject* parent = nullptr);

    // The call's work without the bus: true when a window opened.
    bool Load(const QString& Filename);

public Q_SLOTS:
    Q_SCRIPTABLE void LoadLog(const QString& Filename);

private:
    ScrollbookServer& m_server;
};
