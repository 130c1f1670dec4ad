#pragma once
// The FTP commands the engine serves, one row each. A new verb is a row here
// (and its handler in the session): dispatch, what may come before login, the
// 501 for a missing argument, how stray bytes in an argument are taken, the
// notification that may refuse it, and the FEAT and HELP replies follow from it.
#include <QString>
#include <span>

class FtpSession;

// The notification through which the program may refuse a command.
enum class Permission {
    None, ChangeDir, MakeDir, RemoveDir, DeleteFile, RenameFile, GetFile, PutFile, FileDetails,
    Listing, // the listing's first DirItem and the end-of-listing reply
};

struct FtpCommand {
    enum class Login { Anytime, Needed };
    enum class Argument { Optional, Required };
    // A path keeps the bytes it was sent with; any other argument is text,
    // its bytes that are not UTF-8 replaced as a decoder would.
    enum class Kind { Text, Path };

    const char* name;
    const char* alias; // the older spelling some clients send (XCWD), or null
    Login login;
    Argument argument;
    Kind kind;
    Permission permission;
    const char* feature; // its line in FEAT, or null
    void (*run)(FtpSession& session, const QString& argument);
};

namespace FtpCommands {
std::span<const FtpCommand> all();
// By name or alias, as the parser gives a verb (in capitals); null for none.
const FtpCommand* find(const QString& verb);
// FEAT's and HELP's replies: the features and the names (aliases too) of all rows.
QString featuresReply();
QString helpReply();
} // namespace FtpCommands
