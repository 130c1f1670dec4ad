#include "core/AppFiles.h"
#include "core/Config.h"

#include "core/Flags.h"
#include "core/MessageService.h"
#include "core/ProcessState.h"
#include "core/ProgramLifetime.h"
#include "core/TextCipher.h"
#include "core/TextFile.h"

namespace ModMain {

namespace {

constexpr int ReservedLines = 49;

QString configPath()
{
    return AppFiles::ConfigFile();
}

} // namespace

QStringList ConfigFileLines()
{
    const auto& c = ServerConfig;
    QStringList lines{Encipher(c.IP),
                      Encipher(c.Port),
                      Encipher(c.IdleTimeout),
                      Encipher(FlagText(c.Put0Byte)),
                      Encipher(c.ServerRoot),
                      Encipher(c.Greeting),
                      Encipher(c.LoggedOnMessage),
                      Encipher(FlagText(c.AllowAnonymous)),
                      Encipher(FlagText(c.StartServer)),
                      VersionText};
    const QString reserved = Encipher(QStringLiteral("<Reserved>"));
    for (int i = 0; i < ReservedLines; ++i)
        lines.append(reserved);
    return lines;
}

bool SaveConfig()
{
    // Once the program is ending the settings in memory may be half loaded:
    // writing them would replace good settings for good.
    if (ProgramLifetime::Ending())
        return false;
    const FileOpResult r = WriteLines(configPath(), ConfigFileLines());
    if (!r) {
        Messages().message(QStringLiteral("Error: %1, %2").arg(r.errorNumber).arg(r.errorText),
                           QStringLiteral("Failed to Write Configuration!"), MessageIcon::Critical);
        return false;
    }
    return true;
}

bool LoadConfig()
{
    LineReader reader(configPath(), LineLimit::EncipheredField);
    if (!reader.isOpen())
        return false;
    auto& c = ServerConfig;
    QString* texts[] = {&c.IP, &c.Port, &c.IdleTimeout, nullptr, &c.ServerRoot, &c.Greeting, &c.LoggedOnMessage,
                        nullptr, nullptr};
    bool* flags[] = {nullptr, nullptr, nullptr, &c.Put0Byte, nullptr, nullptr, nullptr, &c.AllowAnonymous,
                     &c.StartServer};
    for (int i = 0; i < 9; ++i) {
        const std::optional<QString> line = reader.readLine();
        if (!line)
            return false;
        const QString value = DeCipher(*line);
        if (texts[i]) {
            *texts[i] = value;
        } else {
            const std::optional<bool> flag = ParseFlag(value);
            if (!flag)
                return false;
            *flags[i] = *flag;
        }
    }
    return true;
}

} // namespace ModMain
