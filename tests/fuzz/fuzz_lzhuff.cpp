// The maker's compression: any stream is expanded without a fault and never
// past the device's limit; anything the device can hold comes back whole.

#include "fuzzsupport.h"

#include "lzhuff.h"

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
    if (coder.expand(input, expanded))
        Fuzz::require(expanded.size() <= qsizetype(LzHuff::MaxExpandedSize),
            "expand() returned more than the device allows");

    // The same object again, now for the input as plain data.
    QByteArray block;
    coder.compress(input, block);
    QByteArray back;
    Fuzz::require(coder.expand(block, back), "expand() refused what compress() wrote");
    Fuzz::require(back == input, "expand(compress(x)) differs from x");
    return 0;
}
