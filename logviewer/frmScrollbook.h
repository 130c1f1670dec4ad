#pragma once
// The viewer's window: one log file as a table of its six-line records, with
// Refresh (read again), New (move the file aside so the console starts a new
// one) and Close. The file is read at the window's first activation, never
// while the request that opened it is being answered.
#include "logviewer/ViewerState.h"

#include <QDateTime>
#include <QWidget>
#include <functional>

class QProgressBar;
class QPushButton;
class RowList;

class frmScrollbook final : public QWidget {
    Q_OBJECT
public:
    // The bar moves after this many records and then again after as many more.
    static constexpr int RecordsPerStep = 100;

    explicit frmScrollbook(const QString& logPath, QWidget* parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void cmdRefresh_Click();
    void cmdNew_Click();
    void cmdClose_Click();

    const ViewerState& State() const { return m_state; }
    // The clock New names the moved file by.
    std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTime(); };

    RowList* Log = nullptr;
    QProgressBar* PB1 = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    // Returns false when the window went away while events were let through.
    bool loadLog(bool activation, const char* procedure);
    void selectLastRow();

    ViewerState m_state;
};
