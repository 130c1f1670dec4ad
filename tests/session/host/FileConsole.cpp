#include "FileConsole.h"

RecordFile::RecordFile(const QString& path) : m_file(path)
{
    m_file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void RecordFile::write(const QString& kind, const QString& text)
{
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String("|"));
    flat.replace(QLatin1Char('\n'), QLatin1Char('|'));
    m_file.write((kind + QLatin1Char(' ') + flat + QLatin1Char('\n')).toUtf8());
    m_file.flush();
}
