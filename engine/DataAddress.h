#pragma once
// The address arguments and replies of PORT, EPRT, PASV and EPSV.
#include <QHostAddress>
#include <QString>
#include <optional>

struct DataAddress {
    QHostAddress host;
    quint16 port = 0;
};

// "h1,h2,h3,h4,p1,p2"
std::optional<DataAddress> parsePortArgument(const QString& argument);
// "|1|132.235.1.2|6275|" or "|2|::1|6275|", any printable delimiter.
std::optional<DataAddress> parseEprtArgument(const QString& argument);
// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)."; empty for a non-IPv4 host.
QString pasvReply(const QHostAddress& host, quint16 port);
// The IPv4 form of an IPv4-mapped IPv6 address, else the address itself.
QHostAddress plainAddress(const QHostAddress& address);
