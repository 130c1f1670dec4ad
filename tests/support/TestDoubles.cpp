#include "tests/support/TestDoubles.h"

InstalledDoubles::InstalledDoubles()
    : errors(std::make_shared<RecordingErrorReporter>()), messages(std::make_shared<ScriptedMessageService>())
{
    m_oldErrors = InstallErrorReporter(errors);
    m_oldMessages = InstallMessageService(messages);
    InstallConsoleLogProvider([this] { return &consoleLog; });
}

InstalledDoubles::~InstalledDoubles()
{
    InstallConsoleLogProvider({});
    InstallErrorReporter(m_oldErrors);
    InstallMessageService(m_oldMessages);
}
