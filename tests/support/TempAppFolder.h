#pragma once
// A fresh application folder for one test: QUAYPORT_HOME points at a temporary
// folder, the process-wide values start afresh and the cipher key is installed.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempAppFolder {
public:
    explicit TempAppFolder(bool createStandardFolders = true);
    ~TempAppFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& tail) const { return m_dir.path() + tail; }
    // Writes bytes to a file below the folder, creating parent folders.
    void write(const QString& tail, const QByteArray& bytes) const;
    QByteArray read(const QString& tail) const;
    bool exists(const QString& tail) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
    bool m_hadHome;
};
