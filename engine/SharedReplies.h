#pragma once
// Replies that the program sends or sets as well as the engine, spelled once:
// the end of a listing, and a refusal.
#include <QString>

namespace FtpReply {
inline QString listingComplete()
{
    return QStringLiteral("226 Listing complete.");
}
inline QString accessDenied()
{
    return QStringLiteral("550 Access denied.");
}
} // namespace FtpReply
