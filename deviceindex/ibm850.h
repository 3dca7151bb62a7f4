#pragma once

// The device reads paths in IBM 850. Most names are plain ASCII, which is the
// same in every code page, so callers test for that first and skip the codec.

#include <QString>
#include <QTextCodec>

namespace Ibm850
{

inline QTextCodec *codec()
{
    static QTextCodec *const ibm850 = QTextCodec::codecForName("IBM 850");
    return ibm850;
}

inline bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace Ibm850
