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

QString fromId3Text(const QByteArray &body)
{
    if (body.isEmpty())
        return QString();
    const quint8 encoding = quint8(body.at(0));
    const QByteArray bytes = body.mid(1);
    QString text;
    if (encoding == 1 || encoding == 2) {
        // Without a byte order mark, encoding 1 is taken as little-endian, as
        // the most common writers store it.
        bool bigEndian = encoding == 2;
        qsizetype i = 0;
        if (encoding == 1 && bytes.size() >= 2) {
            const quint8 first = quint8(bytes.at(0));
            const quint8 second = quint8(bytes.at(1));
            if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF)) {
                bigEndian = first == 0xFE;
                i = 2;
            }
        }
        for (; i + 1 < bytes.size(); i += 2) {
            const quint8 a = quint8(bytes.at(i));
            const quint8 b = quint8(bytes.at(i + 1));
            const char16_t unit = bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
            if (unit == 0)
                break;
            text.append(QChar(unit));
        }
    } else if (encoding == 3) {
        const qsizetype end = bytes.indexOf('\0');
        text = QString::fromUtf8(end < 0 ? bytes : bytes.left(end));
    } else {
        return fromLatin1(bytes);
    }
    // A byte order mark some writers put in front of UTF-8 or big-endian texts.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.trimmed();
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
