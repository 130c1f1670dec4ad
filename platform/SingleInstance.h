#pragma once
// One open instance of a form per process. The form is a top-level window made
// on first use and deleted when it closes, so the next showing starts afresh;
// showing it while it is open only raises and activates it (see FrontWindow.h).
//
//   SingleInstance<AddUserDialog>::Show();            // modeless
//   SingleInstance<PropertiesDialog>::Get().exec();   // modal
#include "platform/FrontWindow.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

template <class Form>
class SingleInstance {
public:
    // The open form, or nullptr.
    static Form* Open() { return slot().data(); }

    // The open form, made when none is open.
    static Form& Get()
    {
        QPointer<Form>& form = slot();
        if (!form) {
            form = new Form();
            form->setAttribute(Qt::WA_DeleteOnClose);
            // A form still open when the program ends goes with the application.
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, form.data(), [f = form.data()] { delete f; });
        }
        return *form;
    }

    // Shows the form without waiting, bringing it to the front.
    static Form& Show()
    {
        Form& form = Get();
        ShowInFront(form);
        return form;
    }

private:
    static QPointer<Form>& slot()
    {
        static QPointer<Form> form;
        return form;
    }
};
