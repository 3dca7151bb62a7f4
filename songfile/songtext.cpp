#include "songtext.h"

namespace SongText
{

QByteArray toLatin1(const QString &text, int maxChars)
{
    QByteArray bytes;
    bytes.reserve(maxChars >= 0 ? qMin(maxChars, int(text.size())) : int(text.size()));
    const int size = int(text.size());
    for (int i = 0; i < size; ++i) {
        if (maxChars >= 0 && bytes.size() >= maxChars)
            break;
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            ++i; // one character outside the Basic Multilingual Plane
            bytes.append('?');
        } else if (c.unicode() > 0xFF) {
            bytes.append('?');
        } else {
            bytes.append(char(c.unicode()));
        }
    }
    return bytes;
}

QString fromLatin1(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    const QByteArray text = end < 0 ? bytes : bytes.left(end);
    return QString::fromLatin1(text).trimmed();
}

bool parseInteger(const QString &text, qint32 *value)
{
    *value = 0;
    const QString trimmed = text.trimmed();
    int pos = 0;
    bool negative = false;
    if (pos < trimmed.size()
        && (trimmed.at(pos) == QLatin1Char('+') || trimmed.at(pos) == QLatin1Char('-'))) {
        negative = trimmed.at(pos) == QLatin1Char('-');
        ++pos;
    }
    if (pos >= trimmed.size())
        return false;
    qint64 number = 0;
    for (; pos < trimmed.size(); ++pos) {
        const char16_t c = trimmed.at(pos).unicode();
        if (c < u'0' || c > u'9')
            return false;
        number = number * 10 + (c - u'0');
        if (number > qint64(2147483648LL))
            return false;
    }
    if (negative)
        number = -number;
    if (number > 2147483647LL || number < -2147483648LL)
        return false;
    *value = qint32(number);
    return true;
}

} // namespace SongText
