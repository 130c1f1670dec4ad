#pragma once
// Documented messages, confirmations and input boxes go through one service:
// modal boxes in the program, a scripted double in tests.
#include <QString>
#include <memory>

enum class MessageIcon { None, Critical, Information, Exclamation, Question };

class MessageService {
public:
    virtual ~MessageService() = default;
    // An OK box. An empty title means the program's own title.
    virtual void message(const QString& text, const QString& title, MessageIcon icon) = 0;
    // A Yes/No box; true for Yes.
    virtual bool confirm(const QString& text, const QString& title) = 0;
    // An input box; returns the entered text, or an empty text on Cancel.
    virtual QString input(const QString& prompt, const QString& title, const QString& defaultText) = 0;
};

// The program's title, used for boxes that name no title of their own.
QString ProgramTitle();
// Each program sets its own once at start ("Quayport" until then).
void SetProgramTitle(const QString& title);

// Installs a service for the whole process (null: standard error); returns the
// one it replaces.
std::shared_ptr<MessageService> InstallMessageService(std::shared_ptr<MessageService> service);
MessageService& Messages();
