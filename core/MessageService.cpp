#include "core/MessageService.h"

#include "core/ProcessState.h"

#include <cstdio>

namespace {

// Without a window system the boxes go to standard error and take the safe answer.
class StderrMessages final : public MessageService {
public:
    void message(const QString& text, const QString& title, MessageIcon) override
    {
        std::fprintf(stderr, "[%s] %s\n", (title.isEmpty() ? ProgramTitle() : title).toLocal8Bit().constData(),
                     text.toLocal8Bit().constData());
    }
    bool confirm(const QString& text, const QString& title) override
    {
        message(text, title, MessageIcon::Question);
        return false;
    }
    QString input(const QString& prompt, const QString& title, const QString&) override
    {
        message(prompt, title, MessageIcon::None);
        return {};
    }
};

MessageService& stderrMessages()
{
    static StderrMessages service;
    return service;
}

} // namespace

QString ProgramTitle()
{
    return ModMain::Process().Title;
}

void SetProgramTitle(const QString& title)
{
    ModMain::Process().Title = title;
}

std::shared_ptr<MessageService> InstallMessageService(std::shared_ptr<MessageService> service)
{
    return std::exchange(ModMain::Process().Messages, std::move(service));
}

MessageService& Messages()
{
    const std::shared_ptr<MessageService>& service = ModMain::Process().Messages;
    return service ? *service : stderrMessages();
}
