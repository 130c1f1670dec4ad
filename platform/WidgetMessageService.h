#pragma once
// Documented messages, confirmations and input boxes as modal boxes over the
// active window. An empty title shows the program's title.
#include "core/MessageService.h"

class WidgetMessageService final : public MessageService {
public:
    void message(const QString& text, const QString& title, MessageIcon icon) override;
    // Yes and No, Yes the default button as in the old boxes; no icon.
    bool confirm(const QString& text, const QString& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
};
