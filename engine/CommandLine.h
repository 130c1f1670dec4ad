#pragma once
// The control connection's input: bytes become command lines (Telnet
// sequences and line ends stripped), and a line becomes a verb and argument.
#include <QByteArray>
#include <QString>
#include <optional>

// Cuts the incoming byte stream into lines. Memory stays bounded: a line
// longer than the limit is dropped up to its line end and reported once.
class LineAssembler {
public:
    static constexpr int MaxLine = 4096;

    struct Line {
        QByteArray text; // Telnet sequences, CR and LF removed
        bool tooLong = false;
    };

    // Takes bytes; returns how many it consumed. It stops after a complete
    // line so the caller can act on it before feeding the rest.
    qsizetype feed(const char* data, qsizetype size);
    // The line completed by the last feed, if any; taking it clears it.
    std::optional<Line> takeLine();
    bool hasLine() const { return m_ready; }

private:
    enum class Telnet { Plain, Iac, Option };
    void complete();

    QByteArray m_current;
    bool m_discarding = false;
    bool m_ready = false;
    Line m_line;
    Telnet m_telnet = Telnet::Plain;
};

struct Command {
    QString verb;     // in capitals
    // As sent, after the one blank that follows the verb; bytes that are not
    // UTF-8 are kept as characters of their own (core/FileNameBytes), so the
    // argument names exactly the file whose name holds those bytes.
    QString argument;
    bool hasArgument = false; // a blank followed the verb
    bool badArgument = false; // NUL or another control character in the argument
    bool notUtf8 = false;     // the argument's bytes are not valid UTF-8

    // The line as the trace shows it: verb in capitals, argument unchanged but
    // for a byte that is not part of UTF-8, which shows as its Windows-1252 character.
    QString traceText() const;
};

Command parseCommand(const QByteArray& line);
