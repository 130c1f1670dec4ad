#include "console/ConnectionView.h"

#include "console/ConnectionPanel.h"
#include "console/ConnectionText.h"
#include "core/Accounts.h"
#include "core/FileNameBytes.h"
#include "core/FileNames.h"
#include "core/ProcedureName.h"
#include "core/SmallProcs.h"
#include "core/TextFile.h"
#include "engine/FtpEngine.h"
#include "platform/ConsoleImages.h"
#include "platform/DigitDisplay.h"
#include "platform/ListViewControl.h"
#include "session/StatCounterFile.h"
#include "session/UserObj.h"

#include <QLineEdit>

namespace ConnectionView {

namespace {

// What the pane shows of a session's record; zero for a session without one.
struct Counters {
    QString group;
    qint64 filesSent = 0, filesReceived = 0, filesDeleted = 0, filesTransfered = 0;
    qint64 bytesSent = 0, bytesReceived = 0, bytesDeleted = 0, bytesTransfered = 0;
};

Counters countersOf(const FtpUser& user)
{
    Counters c;
    if (const auto r = user.SessionObjectAs<UserObj>()) {
        c = {r->Group,        r->FilesSent,   r->FilesReceived, r->FilesDeleted,  r->FilesTransfered,
             r->BytesSent,    r->BytesReceived, r->BytesDeleted, r->BytesTransfered};
    }
    return c;
}

QString accountGroup(const QString& userName)
{
    static const QString procedure = FrmMainProcedure("GetUserGroup");
    return ModMain::GetUserGroup(userName, procedure);
}

// The folder as it is spelt: on a case-sensitive disk a lower-cased path names another folder.
// A byte of a name that is not UTF-8 shows as its Windows-1252 character.
QString folderText(const QString& path)
{
    return ModMain::CollapseSlashes(FileNameBytes::shown(path) + QLatin1Char('/'));
}

// A user's running total from a counter file; no file (or a name that may not
// name a file) counts as nothing yet.
std::optional<QString> totalLine(const QString& userName, const char* suffix)
{
    if (!IsSafeName(userName))
        return std::nullopt;
    const QString path = StatCounterPath(userName, suffix);
    if (!FileExists(path))
        return std::nullopt;
    return ReadFirstLine(path, LineLimit::Number);
}

QString totalCount(const QString& userName, const char* suffix)
{
    const auto line = totalLine(userName, suffix);
    return line ? *line : QStringLiteral("0");
}

QString totalMegabytes(const QString& userName, const char* suffix)
{
    bool ok = false;
    const auto line = totalLine(userName, suffix);
    const double bytes = line ? line->trimmed().toDouble(&ok) : 0.0;
    return MegabyteText(ok ? bytes : 0.0);
}

// A name too long for its box shows its start. A refresh that leaves the name
// as it was leaves the box as the reader scrolled it.
void showStart(QLineEdit& box, const QString& text)
{
    if (box.text() == text)
        return;
    box.setText(text);
    box.setCursorPosition(0);
}

} // namespace

QString SessionGroup(const FtpUser& user)
{
    const QString group = countersOf(user).group.trimmed();
    return group.isEmpty() ? accountGroup(user.UserName()).trimmed() : group;
}

void ShowConnections(ListViewControl& list, const FtpEngine& engine, bool hostOnly, const QString& host)
{
    const int widths[] = {1200, 1200, 1000, 1000, 900, 1000, 1000, 1000, 1000, 1000, 1000, 6000, 6000};
    const char* titles[] = {"User",           "Host Name",   "Group",       "Status",      "Time",
                            "Files Sent",     "Files Received", "Files Deleted", "MB Sent", "MB Received",
                            "MB Deleted",     "Root folder", "Current folder"};
    for (int i = 0; i < 13; ++i)
        list.AddColumn(QString::fromLatin1(titles[i]), widths[i]);

    const int count = engine.Sessions().Count();
    for (int i = 0; i < count; ++i) {
        const FtpUser* user = engine.Sessions().Item(i);
        if (!user)
            continue;
        const QString name = user->UserName().trimmed();
        if (name.isEmpty())
            continue;
        if (hostOnly && user->RemoteAddress().trimmed() != host)
            continue;
        const Counters c = countersOf(*user);
        const QString address = user->RemoteAddress().trimmed().isEmpty() ? QStringLiteral("Unknown")
                                                                          : user->RemoteAddress();
        const QStringList cells{address,
                                SessionGroup(*user),
                                SessionStateText(user->State()),
                                ConnectionTimeText(user->SecondsConnected()),
                                QString::number(c.filesSent),
                                QString::number(c.filesReceived),
                                QString::number(c.filesDeleted),
                                MegabyteText(double(c.bytesSent)),
                                MegabyteText(double(c.bytesReceived)),
                                MegabyteText(double(c.bytesDeleted)),
                                folderText(user->HomeFolder()),
                                folderText(user->CurrentFolder())};
        // The row is its session's, whichever index that has now.
        list.InsertItem(1, ListViewItem{QStringLiteral("k") + QString::number(i), name, ListImage::Connection,
                                        ListImage::Connection, cells, i, QString::number(user->SessionId())});
    }
}

void FillPanel(ConnectionPanel& panel, const FtpUser& user)
{
    const QString name = user.UserName();
    const Counters c = countersOf(user);

    showStart(*panel.txtUserName, name);
    showStart(*panel.txtGroup, c.group.trimmed().isEmpty() ? accountGroup(name) : c.group);
    const QString file = user.CurrentFile();
    const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
    panel.txtCurrentFile->setText(slash < 0 ? QString() : FileNameBytes::shown(file.mid(slash + 1)));
    panel.txtCurrentFolder->setText(folderText(user.CurrentFolder()));
    panel.rdIP->SetValue(user.RemoteAddress());

    panel.rdFilesSent->SetValue(c.filesSent);
    panel.rdFilesReceived->SetValue(c.filesReceived);
    panel.rdFilesDeleted->SetValue(c.filesDeleted);
    panel.rdFilesTransfered->SetValue(c.filesTransfered);

    panel.rdTotalFilesSent->SetValue(totalCount(name, StatSuffix::SentCount));
    panel.rdTotalFilesReceived->SetValue(totalCount(name, StatSuffix::ReceivedCount));
    panel.rdTotalFilesDeleted->SetValue(totalCount(name, StatSuffix::DeletedCount));
    panel.rdTotalFilesTransfered->SetValue(totalCount(name, StatSuffix::TransferedCount));

    panel.rdMBsent->SetValue(MegabyteText(double(c.bytesSent)));
    panel.rdMBreceived->SetValue(MegabyteText(double(c.bytesReceived)));
    panel.rdMBdeleted->SetValue(MegabyteText(double(c.bytesDeleted)));
    panel.rdMBtransfered->SetValue(MegabyteText(double(c.bytesTransfered)));

    panel.RDConnectTime->SetValue(ConnectionTimeText(user.SecondsConnected()));

    panel.rdTotalMBsent->SetValue(totalMegabytes(name, StatSuffix::SentSize));
    panel.rdTotalMBreceived->SetValue(totalMegabytes(name, StatSuffix::ReceivedSize));
    panel.rdTotalMBdeleted->SetValue(totalMegabytes(name, StatSuffix::DeletedSize));
    panel.rdTotalMBtransfered->SetValue(totalMegabytes(name, StatSuffix::TransferedSize));
}

} // namespace ConnectionView
