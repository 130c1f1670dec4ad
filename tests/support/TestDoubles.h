#pragma once
// Recording and scripted stand-ins for the program's boxes and console log.
#include "core/ConsoleLog.h"
#include "core/ErrorReporter.h"
#include "core/MessageService.h"

#include <QStringList>
#include <deque>
#include <memory>

class RecordingErrorReporter : public ErrorReporter {
public:
    void show(const QString& text) override { reports.append(text); }
    QStringList reports;
};

struct RecordedMessage {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
};

class ScriptedMessageService : public MessageService {
public:
    void message(const QString& text, const QString& title, MessageIcon icon) override
    {
        messages.push_back({text, title, icon});
    }
    bool confirm(const QString& text, const QString& title) override
    {
        messages.push_back({text, title, MessageIcon::Question});
        if (confirmAnswers.empty())
            return false;
        bool a = confirmAnswers.front();
        confirmAnswers.pop_front();
        return a;
    }
    QString input(const QString& prompt, const QString& title, const QString&) override
    {
        messages.push_back({prompt, title, MessageIcon::None});
        if (inputAnswers.empty())
            return {};
        QString a = inputAnswers.front();
        inputAnswers.pop_front();
        return a;
    }
    QStringList texts() const
    {
        QStringList t;
        for (const auto& m : messages)
            t.append(m.text);
        return t;
    }
    std::vector<RecordedMessage> messages;
    std::deque<bool> confirmAnswers;
    std::deque<QString> inputAnswers;
};

class RecordingConsoleLog : public ConsoleLogList {
public:
    void Clear() override { rows.clear(); }
    void AddRow(const QString& row) override { rows.append(row); }
    int RowCount() const override { return int(rows.size()); }
    void RemoveRow(int index) override { rows.removeAt(index); }
    void SetSelectedRow(int index) override { selected = index; }
    QStringList rows;
    int selected = -1;
};

// Installs recording doubles for the life of a test and puts the previous ones back.
class InstalledDoubles {
public:
    InstalledDoubles();
    ~InstalledDoubles();
    std::shared_ptr<RecordingErrorReporter> errors;
    std::shared_ptr<ScriptedMessageService> messages;
    RecordingConsoleLog consoleLog;

private:
    std::shared_ptr<ErrorReporter> m_oldErrors;
    std::shared_ptr<MessageService> m_oldMessages;
};
