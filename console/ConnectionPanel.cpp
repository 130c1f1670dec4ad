#include "console/ConnectionPanel.h"

#include "platform/DigitDisplay.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

ConnectionPanel::ConnectionPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("fmeUser"));
    setFrameShape(QFrame::StyledPanel);

    auto text = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        return box;
    };
    auto digits = [this](const char* name, const char* tip) {
        auto* d = new DigitDisplay(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setToolTip(QString::fromLatin1(tip));
        d->setMinimumHeight(18);
        return d;
    };
    const char* files = "Value in Files";
    const char* megabytes = "Value in Megabytes";

    txtUserName = text("txtUserName");
    txtGroup = text("txtGroup");
    txtCurrentFile = text("txtCurrentFile");
    txtCurrentFolder = text("txtCurrentFolder");
    rdIP = digits("rdIP", "");
    rdIP->setToolTip(QString());
    RDConnectTime = digits("RDConnectTime", "Time user has been connected to the server");
    rdFilesSent = digits("rdFilesSent", files);
    rdFilesReceived = digits("rdFilesReceived", files);
    rdFilesDeleted = digits("rdFilesDeleted", files);
    rdFilesTransfered = digits("rdFilesTransfered", files);
    rdMBsent = digits("rdMBsent", megabytes);
    rdMBreceived = digits("rdMBreceived", megabytes);
    rdMBdeleted = digits("rdMBdeleted", megabytes);
    rdMBtransfered = digits("rdMBtransfered", megabytes);
    rdTotalFilesSent = digits("rdTotalFilesSent", files);
    rdTotalFilesReceived = digits("rdTotalFilesReceived", files);
    rdTotalFilesDeleted = digits("rdTotalFilesDeleted", files);
    rdTotalFilesTransfered = digits("rdTotalFilesTransfered", files);
    rdTotalMBsent = digits("rdTotalMBsent", megabytes);
    rdTotalMBreceived = digits("rdTotalMBreceived", megabytes);
    rdTotalMBdeleted = digits("rdTotalMBdeleted", megabytes);
    rdTotalMBtransfered = digits("rdTotalMBtransfered", megabytes);

    // Digit places of the two columns of displays. Left: counts of files up to
    // ten digits, and the connection time. Right: the megabyte format's widest
    // figure, eleven whole digits, and addresses. The displays draw one digit
    // height whatever their places.
    const int countPlaces = 10;
    const int megabytePlaces = int(QStringLiteral("99999999999.999.999").size());
    for (DigitDisplay* d : {RDConnectTime, rdFilesSent, rdFilesReceived, rdFilesDeleted, rdFilesTransfered,
                            rdTotalFilesSent, rdTotalFilesReceived, rdTotalFilesDeleted, rdTotalFilesTransfered})
        d->SetPlaces(countPlaces);
    for (DigitDisplay* d : {rdIP, rdMBsent, rdMBreceived, rdMBdeleted, rdMBtransfered, rdTotalMBsent,
                            rdTotalMBreceived, rdTotalMBdeleted, rdTotalMBtransfered})
        d->SetPlaces(megabytePlaces);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    int row = 0;
    // The two names share the width of the rows below them.
    auto* names = new QHBoxLayout;
    names->setSpacing(6);
    names->addWidget(txtUserName, 1);
    names->addWidget(caption(QStringLiteral("Group:"), this));
    names->addWidget(txtGroup, 1);
    grid->addWidget(caption(QStringLiteral("User Name:"), this), row, 0);
    grid->addLayout(names, row, 1, 1, 3);
    ++row;
    grid->addWidget(caption(QStringLiteral("Current File:"), this), row, 0);
    grid->addWidget(txtCurrentFile, row, 1, 1, 3);
    ++row;
    grid->addWidget(caption(QStringLiteral("Current Folder:"), this), row, 0);
    grid->addWidget(txtCurrentFolder, row, 1, 1, 3);
    ++row;
    grid->addWidget(caption(QStringLiteral("Time:"), this), row, 0);
    grid->addWidget(RDConnectTime, row, 1);
    grid->addWidget(caption(QStringLiteral("IP:"), this), row, 2);
    grid->addWidget(rdIP, row, 3);
    ++row;

    struct Pair {
        const char* filesLabel;
        DigitDisplay* filesDisplay;
        const char* mbLabel;
        DigitDisplay* mbDisplay;
    };
    const Pair pairs[] = {
        {"Files Sent:", rdFilesSent, "MB Sent:", rdMBsent},
        {"Files Received:", rdFilesReceived, "MB Received:", rdMBreceived},
        {"Files Deleted:", rdFilesDeleted, "MB Deleted:", rdMBdeleted},
        {"Files Transfered:", rdFilesTransfered, "MBTransfered:", rdMBtransfered},
        {"Total Files Sent:", rdTotalFilesSent, "Total MB Sent:", rdTotalMBsent},
        {"Total Files Received:", rdTotalFilesReceived, "Total MB Received:", rdTotalMBreceived},
        {"Total Files Deleted:", rdTotalFilesDeleted, "Total MB Deleted:", rdTotalMBdeleted},
        {"Total Files Transfered:", rdTotalFilesTransfered, "Total MB Transfered:", rdTotalMBtransfered},
    };
    for (const Pair& p : pairs) {
        grid->addWidget(caption(QString::fromLatin1(p.filesLabel), this), row, 0);
        grid->addWidget(p.filesDisplay, row, 1);
        grid->addWidget(caption(QString::fromLatin1(p.mbLabel), this), row, 2);
        grid->addWidget(p.mbDisplay, row, 3);
        ++row;
    }
    // Room to spare goes before the right-hand captions, which keep to their displays.
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    Clear();
}

void ConnectionPanel::Clear()
{
    for (QLineEdit* box : {txtUserName, txtGroup, txtCurrentFile, txtCurrentFolder})
        box->clear();
    for (DigitDisplay* d : findChildren<DigitDisplay*>())
        d->SetValue(QString());
}
