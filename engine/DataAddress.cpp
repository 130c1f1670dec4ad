#include "engine/DataAddress.h"

#include <QStringList>

std::optional<DataAddress> parsePortArgument(const QString& argument)
{
    const QStringList parts = argument.trimmed().split(QLatin1Char(','));
    if (parts.size() != 6)
        return std::nullopt;
    int n[6];
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const QString p = parts.at(i).trimmed();
        n[i] = p.toInt(&ok);
        if (!ok || p.isEmpty() || p.size() > 3 || n[i] < 0 || n[i] > 255 || !p.at(0).isDigit())
            return std::nullopt;
    }
    const quint32 ip = (quint32(n[0]) << 24) | (quint32(n[1]) << 16) | (quint32(n[2]) << 8) | quint32(n[3]);
    return DataAddress{QHostAddress(ip), quint16((n[4] << 8) | n[5])};
}

std::optional<DataAddress> parseEprtArgument(const QString& argument)
{
    const QString a = argument.trimmed();
    if (a.size() < 7)
        return std::nullopt;
    const QChar delimiter = a.at(0);
    if (delimiter.unicode() < 33 || delimiter.unicode() > 126 || !a.endsWith(delimiter))
        return std::nullopt;
    const QStringList parts = a.split(delimiter);
    // "", protocol, address, port, ""
    if (parts.size() != 5)
        return std::nullopt;
    const QString protocol = parts.at(1);
    QHostAddress host;
    if (!host.setAddress(parts.at(2)))
        return std::nullopt;
    if ((protocol == QLatin1String("1") && host.protocol() != QAbstractSocket::IPv4Protocol)
        || (protocol == QLatin1String("2") && host.protocol() != QAbstractSocket::IPv6Protocol)
        || (protocol != QLatin1String("1") && protocol != QLatin1String("2")))
        return std::nullopt;
    bool ok = false;
    const uint port = parts.at(3).toUInt(&ok);
    if (!ok || port > 65535 || parts.at(3).isEmpty() || !parts.at(3).at(0).isDigit())
        return std::nullopt;
    return DataAddress{host, quint16(port)};
}

QString pasvReply(const QHostAddress& host, quint16 port)
{
    bool ok = false;
    const quint32 ip = plainAddress(host).toIPv4Address(&ok);
    if (!ok)
        return {};
    return QStringLiteral("227 Entering Passive Mode (%1,%2,%3,%4,%5,%6).")
        .arg(ip >> 24)
        .arg((ip >> 16) & 0xFF)
        .arg((ip >> 8) & 0xFF)
        .arg(ip & 0xFF)
        .arg(port >> 8)
        .arg(port & 0xFF);
}

QHostAddress plainAddress(const QHostAddress& address)
{
    bool ok = false;
    const quint32 ip = address.toIPv4Address(&ok);
    return ok ? QHostAddress(ip) : address;
}
