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
    void encodeChar(int c);

private:
    static constexpr int leafCode(int symbol) { return T + 2 * symbol; }

    // The tree update after coding a symbol comes in two steps: the leaf
    // step counts the leaf and moves it past its equals, the climb counts
    // its ancestors. Coder and decoder put off each symbol's climb until
    // the next symbol's code has been read off the tree.
    void rebuildTree();
    void swapNodes(int c, int l, unsigned k);
    int leafStep(int leaf);
    bool climb(int position);
    void finishUpdate();

    // A symbol's code, right-aligned, and its length in bits.
    struct Code {
        quint64 bits;
        int length;
    };
    Code codeOf(int c) const;
    // encodeChar(), inlined into the compressor.
    void putSymbol(int c);

    void initSearchTree();
    void setChild(int parent, int side, int child);
    void insertNode(int r);
    void deleteNode(int p);

    void putCode(int bitCount, quint64 code);
    void encodePosition(unsigned position);
    void flushBits();

    void refillBits();
    int getBit();
    int getByte();
    // Where the walk down the tree for the next code ends: the leaf code,
    // its position and the number of bits read.
    struct Walk {
        int code;
        int leaf;
        int bits;
    };
    Walk walkDown(quint64 bits) const;
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

    // Adaptive Huffman tree. Positions 0..R are kept sorted by count, the
    // root at R. m_son[p] is the first child of an internal node (its sibling
    // follows it) or, for a leaf, the code T + 2 * symbol. m_prnt maps
    // positions and leaf codes to the parent position; the odd slot after
    // each leaf code is spare, so both children of a node are relinked the
    // same way whatever they are. Counts stay at or below MAX_FREQ, so 16 bits
    // hold them; the slots from T on hold a stop count above any of them, so
    // a scan for a run of equal counts may read sixteen at a time.
    std::array<quint16, T + 16> m_freq {};
    std::array<qint16, T> m_son {};
    std::array<qint16, T + 2 * N_CHAR> m_prnt {};
    // Where the climb put off from the last symbol starts (the parent of its
    // leaf), 0 when none is due.
    int m_pendingClimb = 0;

    // Search tree over ring positions, children [0] left and [1] right,
    // each with the second byte of its string; N + 1 + b is the root for
    // first byte b and uses only its right child. A node's bytes stay put
    // while it is in the tree: the ring is written only just behind the
    // oldest node.
    struct alignas(8) SearchNode {
        std::array<quint16, 2> child;
        std::array<uchar, 2> second;
    };
    std::array<SearchNode, N + 257> m_node {};
    std::array<qint16, N + 1> m_dad {};

    // The ring plus a copy of its first F - 1 bytes behind it, so string
    // comparisons need no wrap-around, plus room for reading whole words.
    std::array<uchar, N + F - 1 + 8> m_text {};
};
