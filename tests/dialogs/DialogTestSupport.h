#pragma once
// What the account, group and virtual folder dialog tests share: the boxes
// they expect, the files they read back, a recording stand-in for the live
// sessions, screenshots, and ftplib clients run beside the event loop.
#include "session/LiveSessions.h"
#include "tests/support/Shots.h"
#include "tests/support/TestDoubles.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <memory>

// The boxes shown so far as "text|title|icon" lines; clears them.
inline QStringList TakeBoxes(ScriptedMessageService& boxes)
{
    QStringList out;
    for (const RecordedMessage& m : boxes.messages)
        out.append(m.text + QLatin1Char('|') + m.title + QLatin1Char('|') + QString::number(int(m.icon)));
    boxes.messages.clear();
    return out;
}

inline QString ErrorBox(const QString& text)
{
    return text + QStringLiteral("|Error|") + QString::number(int(MessageIcon::Critical));
}

// A file's lines, each of which must end with CR LF.
inline QStringList CrLfLines(const QByteArray& bytes)
{
    if (!bytes.endsWith("\r\n"))
        return {QStringLiteral("<no final CR LF>")};
    QList<QByteArray> parts = bytes.split('\n');
    parts.removeLast();
    QStringList lines;
    for (const QByteArray& line : parts)
        lines.append(line.endsWith('\r') ? QString::fromLatin1(line.chopped(1)) : QStringLiteral("<bare LF>"));
    return lines;
}

class RecordingSessions final : public LiveSessions {
public:
    void CloseUserSessions(const QString& userName) override { closed.append(userName); }
    QStringList closed;
};

// Installs a recording stand-in for the test's life.
struct InstalledSessions {
    InstalledSessions() : sessions(std::make_shared<RecordingSessions>()), old(InstallLiveSessions(sessions)) {}
    ~InstalledSessions() { InstallLiveSessions(old); }
    std::shared_ptr<RecordingSessions> sessions;
    std::shared_ptr<LiveSessions> old;
};

// An ftplib script run beside the event loop; "port" is defined for it.
class FtpScript {
public:
    FtpScript(quint16 port, const QString& body)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("python3"),
                        {QStringLiteral("-u"), QStringLiteral("-c"),
                         QStringLiteral("import ftplib, sys\nport = %1\n").arg(port) + body});
    }
    ~FtpScript()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Waits, serving events, until the script has printed the line.
    bool waitForLine(const QString& line, int timeoutMs = 20000)
    {
        return QTest::qWaitFor([&] { return output().split(QLatin1Char('\n')).contains(line); }, timeoutMs);
    }
    bool waitForEnd(int timeoutMs = 20000)
    {
        return QTest::qWaitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    }
    void send(const QByteArray& line) { m_process.write(line + '\n'); }
    QString output()
    {
        m_output += QString::fromUtf8(m_process.readAll());
        return m_output;
    }

private:
    QProcess m_process;
    QString m_output;
};
