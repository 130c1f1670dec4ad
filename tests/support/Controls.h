#pragma once
// A form's controls found as a person's tools find them: by their objectName.
// A form without exactly one control of that name (or, for an array, without
// any) ends the test program, naming it.
#include <QList>
#include <QObject>
#include <QVariant>
#include <algorithm>

template <class T>
T* Control(const QObject& form, const char* name)
{
    const QList<T*> found = form.findChildren<T*>(QLatin1String(name));
    if (found.size() != 1)
        qFatal("%s has %d controls named %s", qPrintable(form.objectName()), int(found.size()), name);
    return found.front();
}

// A control array: the controls sharing one name, in the order of their
// "index" property.
template <class T>
QList<T*> ControlArray(const QObject& form, const char* name)
{
    QList<T*> items = form.findChildren<T*>(QLatin1String(name));
    if (items.isEmpty())
        qFatal("%s has no controls named %s", qPrintable(form.objectName()), name);
    std::stable_sort(items.begin(), items.end(), [](const T* a, const T* b) {
        return a->property("index").toInt() < b->property("index").toInt();
    });
    return items;
}
