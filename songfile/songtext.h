#ifndef SONGTEXT_H
#define SONGTEXT_H

#include <QByteArray>
#include <QString>

// Texts and numbers as song files store them: single-byte Latin-1, no
// terminator; numbers as decimal digits.
namespace SongText
{

// Latin-1 bytes of text, cut to its first maxChars characters (no cut when
// maxChars < 0). Characters are Unicode code points: each one outside Latin-1,
// also one outside the Basic Multilingual Plane, becomes a single '?'.
QByteArray toLatin1(const QString &text, int maxChars = -1);

// A stored text: up to the first 0x00 byte, from Latin-1, trimmed.
QString fromLatin1(const QByteArray &bytes);

// The text of an ID3 text frame body (encoding byte first): 0 Latin-1, 1 UTF-16
// after a byte order mark, 2 UTF-16 big-endian, 3 UTF-8; up to the first zero
// character, trimmed. Other encoding bytes are read as Latin-1.
QString fromId3Text(const QByteArray &body);

// Reads an optional sign and decimal digits (after trimming) within the 32-bit
// signed range; anything else gives false and 0.
bool parseInteger(const QString &text, qint32 *value);

} // namespace SongText

#endif // SONGTEXT_H
