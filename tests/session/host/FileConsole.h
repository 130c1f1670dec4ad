#pragma once
// The console as the end-to-end tests see it: every information line,
// console log row, tree refresh and error report becomes one line of a
// record file, written at once.
#include "core/ConsoleLog.h"
#include "core/ErrorReporter.h"
#include "session/ConsoleServices.h"

#include <QFile>

class RecordFile {
public:
    explicit RecordFile(const QString& path);
    // One line; line breaks inside the text become "|".
    void write(const QString& kind, const QString& text);

private:
    QFile m_file;
};

class FileConsole final : public ConsoleServices, public ConsoleLogList, public ErrorReporter {
public:
    explicit FileConsole(RecordFile& record) : m_record(record) {}

    // ConsoleServices
    void InfoLog(const QString& text) override { m_record.write(QStringLiteral("INFO"), text); }
    void UpdateUserTree() override { m_record.write(QStringLiteral("TREE"), QString()); }
    void ServerChanged(ServerChange) override {}
    void RestoreMousePointer() override {}
    void ProcessEventsOnce() override {}

    // ConsoleLogList
    void Clear() override { m_rows = 0; }
    void AddRow(const QString& row) override
    {
        ++m_rows;
        m_record.write(QStringLiteral("ROW"), row);
    }
    int RowCount() const override { return m_rows; }
    void RemoveRow(int) override { --m_rows; }
    void SetSelectedRow(int) override {}

    // ErrorReporter
    void show(const QString& text) override { m_record.write(QStringLiteral("ERROR"), text); }

private:
    RecordFile& m_record;
    int m_rows = 0;
};
