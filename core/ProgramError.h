#pragma once
// An error raised to the caller, with the number, source and description
// that the caller's own report shows, and the step of the source it left at
// (0 when it has none).
#include <QString>
#include <exception>

class ProgramError : public std::exception {
public:
    ProgramError(int number, QString source, QString description, int line = 0)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)), m_line(line),
          m_what(m_description.toUtf8())
    {
    }
    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    int line() const { return m_line; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    int m_line;
    QByteArray m_what;
};
