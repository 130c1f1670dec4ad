#include "core/MessageService.h"

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

std::shared_ptr<MessageService>& slot()
{
    static std::shared_ptr<MessageService> service = std::make_shared<StderrMessages>();
    return service;
}

QString& programTitle()
{
    static QString title = QStringLiteral("Quayport");
    return title;
}

} // namespace

QString ProgramTitle()
{
    return programTitle();
}

void SetProgramTitle(const QString& title)
{
    programTitle() = title;
}

std::shared_ptr<MessageService> InstallMessageService(std::shared_ptr<MessageService> service)
{
    if (!service)
        service = std::make_shared<StderrMessages>();
    std::swap(slot(), service);
    return service;
}

MessageService& Messages()
{
    return *slot();
}
