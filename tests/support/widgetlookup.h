#pragma once

// For the window and dialog tests: a named child widget, or a fatal error
// naming it (a renamed form object should fail loudly, not crash later).

#include <QLatin1String>
#include <QWidget>

template <typename T> T *child(QWidget &parent, const char *name)
{
    T *object = parent.findChild<T *>(QLatin1String(name));
    if (!object)
        qFatal("no child %s", name);
    return object;
}
