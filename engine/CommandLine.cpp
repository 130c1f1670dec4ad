#include "engine/CommandLine.h"

#include "core/FileNameBytes.h"

namespace {
constexpr unsigned char Iac = 0xFF;
constexpr unsigned char FirstCommand = 0xF0; // SE; everything from here on is a Telnet command
constexpr unsigned char Will = 0xFB;         // WILL, WONT, DO, DONT carry one option byte
} // namespace

qsizetype LineAssembler::feed(const char* data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size && !m_ready) {
        const auto c = static_cast<unsigned char>(data[i++]);
        switch (m_telnet) {
        case Telnet::Iac:
            if (c == Iac) {
                m_telnet = Telnet::Plain;
                break; // an escaped 0xFF is data
            }
            if (c >= Will) {
                m_telnet = Telnet::Option;
                continue;
            }
            m_telnet = Telnet::Plain;
            if (c >= FirstCommand)
                continue;
            break; // a lone IAC before ordinary data: drop only the IAC
        case Telnet::Option:
            m_telnet = Telnet::Plain;
            continue;
        case Telnet::Plain:
            if (c == Iac) {
                m_telnet = Telnet::Iac;
                continue;
            }
            break;
        }
        if (c == '\n') {
            complete();
            break;
        }
        if (m_discarding)
            continue;
        // One byte of slack for the CR that precedes the LF.
        if (m_current.size() > MaxLine) {
            m_discarding = true;
            m_current.clear();
            m_current.squeeze();
            continue;
        }
        m_current.append(char(c));
    }
    return i;
}

void LineAssembler::complete()
{
    if (m_current.endsWith('\r'))
        m_current.chop(1);
    m_line.tooLong = m_discarding || m_current.size() > MaxLine;
    m_line.text = m_line.tooLong ? QByteArray() : m_current;
    m_current.clear();
    m_discarding = false;
    m_ready = true;
}

std::optional<LineAssembler::Line> LineAssembler::takeLine()
{
    if (!m_ready)
        return std::nullopt;
    m_ready = false;
    return std::exchange(m_line, Line{});
}

Command parseCommand(const QByteArray& line)
{
    Command cmd;
    const qsizetype blank = line.indexOf(' ');
    const QByteArray verb = blank < 0 ? line : line.left(blank);
    cmd.verb = QString::fromUtf8(verb).toUpper();
    if (blank >= 0) {
        cmd.hasArgument = true;
        const QByteArray arg = line.mid(blank + 1);
        for (char ch : arg) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x20 || c == 0x7F) {
                cmd.badArgument = true;
                break;
            }
        }
        bool utf8 = true;
        cmd.argument = FileNameBytes::decode(arg, &utf8);
        cmd.notUtf8 = !utf8;
    }
    return cmd;
}

QString Command::traceText() const
{
    return hasArgument ? verb + QLatin1Char(' ') + FileNameBytes::shown(argument) : verb;
}
