// The maker's compression: any stream is expanded without a fault to the
// size it states; anything the device can hold comes back whole.

#include "fuzzsupport.h"

#include "lzhuff.h"

#include <QtEndian>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
        qsizetype(qMin<size_t>(size, LzHuff::MaxExpandedSize)));

    // The input as a stored block.
    LzHuff coder;
    QByteArray expanded;
    if (coder.expand(input, expanded)) {
        // An inconsistent stream may overrun its size by the tail of its
        // last match, never by more.
        const quint32 stated = qFromLittleEndian<quint32>(input.constData());
        Fuzz::require(
            expanded.size() >= qsizetype(stated) && expanded.size() < qsizetype(stated) + LzHuff::F,
            "expand() returned another size than its block states");
    }

    // The same object again, now for the input as plain data (a block of
    // no data is refused: no song is empty).
    if (input.isEmpty())
        return 0;
    QByteArray block;
    coder.compress(input, block);
    QByteArray back;
    Fuzz::require(coder.expand(block, back), "expand() refused what compress() wrote");
    Fuzz::require(back == input, "expand(compress(x)) differs from x");
    return 0;
}
