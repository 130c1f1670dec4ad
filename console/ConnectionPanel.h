#pragma once
// The panel of one live connection (fmeUser): its user, group, folder and
// file, this session's counters and the user's running totals.
#include <QFrame>

class DigitDisplay;
class QLineEdit;

class ConnectionPanel final : public QFrame {
    Q_OBJECT
public:
    explicit ConnectionPanel(QWidget* parent = nullptr);

    // Every control back to its empty value.
    void Clear();

    QLineEdit* txtUserName;
    QLineEdit* txtGroup;
    QLineEdit* txtCurrentFile;
    QLineEdit* txtCurrentFolder;
    DigitDisplay* rdIP;
    DigitDisplay* RDConnectTime;
    DigitDisplay* rdFilesSent;
    DigitDisplay* rdFilesReceived;
    DigitDisplay* rdFilesDeleted;
    DigitDisplay* rdFilesTransfered;
    DigitDisplay* rdMBsent;
    DigitDisplay* rdMBreceived;
    DigitDisplay* rdMBdeleted;
    DigitDisplay* rdMBtransfered;
    DigitDisplay* rdTotalFilesSent;
    DigitDisplay* rdTotalFilesReceived;
    DigitDisplay* rdTotalFilesDeleted;
    DigitDisplay* rdTotalFilesTransfered;
    DigitDisplay* rdTotalMBsent;
    DigitDisplay* rdTotalMBreceived;
    DigitDisplay* rdTotalMBdeleted;
    DigitDisplay* rdTotalMBtransfered;
};
