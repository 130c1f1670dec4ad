#include "platform/PasswordBox.h"

#include <QLineEdit>
#include <QProxyStyle>

namespace {

class AsteriskStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void MaskWithAsterisks(QLineEdit& box)
{
    // The style belongs to the box and goes with it; it draws as the program's style does.
    auto* style = new AsteriskStyle;
    style->setParent(&box);
    box.setStyle(style);
    box.setEchoMode(QLineEdit::Password);
}
