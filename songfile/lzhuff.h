#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

// LZSS over a 4096-byte ring with adaptive Huffman coding of literals and
// match lengths (the LZHUF scheme). The maker's containers store their MIDI
// data this way, so every parameter here is part of the file format and the
// output must stay bit-exact.
//
// One object per compression or expansion; it may be reused, each call
// starts from a clean state.
class LzHuff
{
public:
    // Ring size, longest match and shortest coded match minus one.
    static constexpr int N = 4096;
    static constexpr int F = 29;
    static constexpr int THRESHOLD = 2;
    // 256 literals plus the match lengths 3..29.
    static constexpr int N_CHAR = 256 - THRESHOLD + F;
    static constexpr int T = N_CHAR * 2 - 1;
    static constexpr int R = T - 1;
    // The Huffman tree is rebuilt with halved counts at this root frequency.
    static constexpr int MAX_FREQ = 0x8000;
    static constexpr int NIL = N;
    // The device refuses streams that claim more uncompressed bytes.
    static constexpr quint32 MaxExpandedSize = 500000;

    LzHuff();

    void compress(const QByteArray &in, QByteArray &out);
    bool expand(const QByteArray &in, QByteArray &out);

    // Length in bits of the longest Huffman code written by the last
    // compress(); codes beyond 16 bits appear only with very skewed input.
    int longestCodeWritten() const { return m_longestCode; }

protected:
    // The symbol coder on its own, for checking long codes bit by bit: open
    // an output block, code symbols, close it.
    void beginBlock(QByteArray &out, quint32 uncompressedSize, qsizetype capacity);
    void endBlock();
    void startHuff();
    void rebuildTree();
    void updateTree(int c);
    void updateFromLeaf(int position);
    void encodeChar(int c);

private:
    void initSearchTree();
    void insertNode(int r);
    void deleteNode(int p);

    void putCode(int bitCount, quint64 code);
    void encodePosition(unsigned position);
    void flushBits();

    void refillBits();
    int getBit();
    int getByte();
    int decodeChar();
    int decodePosition();

    // Input / output
    const uchar *m_in = nullptr;
    qsizetype m_inSize = 0;
    qsizetype m_inPos = 0;
    QByteArray *m_out = nullptr;
    qsizetype m_outPos = 0;

    // Bit reader: bits are taken from the top of the buffer.
    quint64 m_getBuf = 0;
    int m_getLen = 0;
    // Bit writer: pending bits sit at the top of a 64-bit accumulator.
    quint64 m_putBuf = 0;
    int m_putLen = 0;
    int m_longestCode = 0;

    int m_matchPosition = 0;
    int m_matchLength = 0;

    // Adaptive Huffman tree: freq has a sentinel slot at T, prnt holds the
    // leaf position of symbol c at T + c.
    std::array<quint32, T + 1> m_freq {};
    std::array<qint32, T + N_CHAR> m_prnt {};
    std::array<qint32, T> m_son {};

    // Search tree over ring positions; N + 1 + b is the root for first byte b.
    std::array<qint32, N + 1> m_lson {};
    std::array<qint32, N + 257> m_rson {};
    std::array<qint32, N + 1> m_dad {};

    // The ring plus a copy of its first F - 1 bytes behind it, so string
    // comparisons need no wrap-around, plus room for reading whole words.
    std::array<uchar, N + F - 1 + 8> m_text {};
};
