#include "lzhuff.h"

#include <QDebug>
#include <QtEndian>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

// Prefix code of the upper 6 bits of a match offset: code length and the code
// left-aligned in a byte (a canonical code, 3 to 8 bits).
constexpr uchar p_len[64] = { 0x03, 0x04, 0x04, 0x04, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05,
    0x05, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07, 0x07,
    0x07, 0x07, 0x07, 0x07, 0x07, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08,
    0x08, 0x08, 0x08, 0x08, 0x08 };

constexpr uchar p_code[64] = { 0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80,
    0x88, 0x90, 0x94, 0x98, 0x9C, 0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4,
    0xC6, 0xC8, 0xCA, 0xCC, 0xCE, 0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4,
    0xE6, 0xE8, 0xEA, 0xEC, 0xEE, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA,
    0xFB, 0xFC, 0xFD, 0xFE, 0xFF };

// Decoding tables indexed by the next 8 bits of the stream: the upper 6 bits
// of the offset and the length of their code.
struct PositionDecodeTables {
    uchar code[256];
    uchar len[256];
    constexpr PositionDecodeTables()
        : code()
        , len()
    {
        for (int u = 0; u < 64; ++u) {
            const int span = 1 << (8 - p_len[u]);
            for (int k = 0; k < span; ++k) {
                code[p_code[u] + k] = uchar(u);
                len[p_code[u] + k] = p_len[u];
            }
        }
    }
};
constexpr PositionDecodeTables d_tables;

// The ring starts filled with spaces up to N - F - 1.
constexpr uchar RingFill = 0x20;

const char *const WarningRule
    = "=====================================================================";

} // namespace

LzHuff::LzHuff() = default;

// ---------------------------------------------------------------------------
// Adaptive Huffman tree

void LzHuff::startHuff()
{
    for (int i = 0; i < N_CHAR; ++i) {
        m_freq[i] = 1;
        m_son[i] = qint16(leafCode(i));
        m_prnt[leafCode(i)] = qint16(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        m_freq[j] = quint16(m_freq[i] + m_freq[i + 1]);
        m_son[j] = qint16(i);
        m_prnt[i] = m_prnt[i + 1] = qint16(j);
    }
    std::fill(m_freq.begin() + T, m_freq.end(), quint16(0xFFFF));
    m_prnt[R] = 0;
    m_pendingClimb = 0;
}

void LzHuff::rebuildTree()
{
    // Gather the leaves at the front with halved counts.
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (m_son[i] >= T) {
            m_freq[j] = quint16((m_freq[i] + 1) / 2);
            m_son[j] = m_son[i];
            ++j;
        }
    }
    // Pair them up again, keeping positions sorted by frequency.
    for (int i = 0, j = N_CHAR; j < T; i += 2, ++j) {
        const quint16 f = quint16(m_freq[i] + m_freq[i + 1]);
        m_freq[j] = f;
        int k = j - 1;
        while (f < m_freq[k])
            --k;
        ++k;
        const size_t moved = size_t(j - k);
        std::memmove(&m_freq[k + 1], &m_freq[k], moved * sizeof(m_freq[0]));
        m_freq[k] = f;
        std::memmove(&m_son[k + 1], &m_son[k], moved * sizeof(m_son[0]));
        m_son[k] = qint16(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = m_son[i];
        m_prnt[k] = m_prnt[k + 1] = qint16(i);
    }
}

namespace
{

// The end of the run of counts below k that follows position p: the last
// position from p on whose count is below k, p itself when the count after
// it is not. Counts are sorted, and the stop counts at the end of the array
// end every run.
inline int endOfRun(const quint16 *freq, int p, unsigned k)
{
#if defined(__SSE2__)
    // Sixteen counts per step, which covers nearly every run without a
    // branch: k - count saturates to 0 exactly where count >= k, and the
    // first such lane ends the run.
    const __m128i limit = _mm_set1_epi16(short(k));
    const __m128i zero = _mm_setzero_si128();
    for (;;) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(freq + p + 1));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(freq + p + 9));
        const unsigned stop
            = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(limit, low), zero)))
            | unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(limit, high), zero)))
                << 16;
        if (stop != 0)
            return p + int(qCountTrailingZeroBits(stop) / 2);
        p += 16;
    }
#else
    while (k > freq[p + 1])
        ++p;
    return p;
#endif
}

} // namespace

Q_ALWAYS_INLINE void LzHuff::swapNodes(int c, int l, unsigned k)
{
    // c has just grown to k, beyond the run of counts after it that ends at
    // l: the two trade places, subtrees and all, to keep the order.
    m_freq[c] = m_freq[l];
    m_freq[l] = quint16(k);
    const int i = m_son[c];
    m_prnt[i] = m_prnt[i + 1] = qint16(l);
    const int j = m_son[l];
    m_son[l] = qint16(i);
    m_prnt[j] = m_prnt[j + 1] = qint16(c);
    m_son[c] = qint16(j);
}

Q_ALWAYS_INLINE int LzHuff::leafStep(int c)
{
    // A leaf usually has neighbours of the same count and trades places with
    // the last of them; doing so always, with itself when no neighbour is
    // left behind, spares a branch that guesses wrong every few symbols.
    const unsigned k = ++m_freq[c];
    const int l = endOfRun(m_freq.data(), c, k);
    swapNodes(c, l, k);
    return m_prnt[l];
}

bool LzHuff::climb(int c)
{
    // Higher up counts lie far apart and a trade is rare.
    bool moved = false;
    do {
        const unsigned k = ++m_freq[c];
        if (k > m_freq[c + 1]) {
            const int l = endOfRun(m_freq.data(), c + 1, k);
            swapNodes(c, l, k);
            c = l;
            moved = true;
        }
        c = m_prnt[c];
    } while (c != 0);
    return moved;
}

void LzHuff::finishUpdate()
{
    if (m_pendingClimb != 0)
        climb(m_pendingClimb);
    m_pendingClimb = 0;
}

// ---------------------------------------------------------------------------
// Search tree

void LzHuff::initSearchTree()
{
    for (int i = N + 1; i <= N + 256; ++i)
        m_node[i].child[1] = NIL;
    for (int i = 0; i < N; ++i)
        m_dad[i] = NIL;
}

inline void LzHuff::setChild(int parent, int side, int child)
{
    m_node[parent].child[side] = quint16(child);
    m_node[parent].second[side] = m_text[child + 1];
}

void LzHuff::insertNode(int r)
{
    const uchar *key = &m_text[r];
    int p = N + 1 + key[0];
    m_node[r].child = { NIL, NIL };
    m_matchLength = 0;
    // Right when the key is not below p's string, left when it is; the roots
    // keep their strings on the right.
    int side = 1;
    int next = m_node[p].child[side];
    for (;;) {
        if (next == NIL) {
            setChild(p, side, r);
            m_dad[r] = qint16(p);
            return;
        }
        // The link holds the second byte of the child's string too: most
        // strings part there, and then the child itself need not be read.
        // On data that does not repeat the way on is a coin toss, so it is
        // taken as an index rather than a branch.
        int cmp = int(key[1]) - int(m_node[p].second[side]);
        p = next;
        if (cmp != 0) {
            side = cmp > 0;
            next = m_node[p].child[side];
            continue;
        }
        // Count the equal bytes after the second, eight at a time: the first
        // differing byte is the lowest set byte of the XOR of two
        // little-endian words. The ring has spare bytes behind it for the
        // last word.
        const uchar *other = &m_text[p];
        int i = 2;
        for (; i < F; i += 8) {
            const quint64 diff
                = qFromLittleEndian<quint64>(key + i) ^ qFromLittleEndian<quint64>(other + i);
            if (diff != 0) {
                i += int(qCountTrailingZeroBits(diff) / 8);
                break;
            }
        }
        if (i >= F)
            i = F;
        else
            cmp = int(key[i]) - int(other[i]);
        if (i > THRESHOLD) {
            const int position = ((r - p) & (N - 1)) - 1;
            if (i > m_matchLength) {
                m_matchPosition = position;
                m_matchLength = i;
                if (i >= F)
                    break;
            }
            if (i == m_matchLength && position < m_matchPosition)
                m_matchPosition = position;
        }
        // After a longer common run the way follows patterns of the data
        // that the processor guesses well, and a branch lets it read ahead.
        if (cmp >= 0) {
            side = 1;
            next = m_node[p].child[1];
        } else {
            side = 0;
            next = m_node[p].child[0];
        }
    }
    // A full-length match: r replaces p, the older copy of the same string.
    const int parent = m_dad[p];
    m_dad[r] = qint16(parent);
    m_node[r] = m_node[p];
    m_dad[m_node[p].child[0]] = qint16(r);
    m_dad[m_node[p].child[1]] = qint16(r);
    setChild(parent, m_node[parent].child[1] == p, r);
    m_dad[p] = NIL;
}

void LzHuff::deleteNode(int p)
{
    if (m_dad[p] == NIL)
        return;
    int q;
    if (m_node[p].child[1] == NIL) {
        q = m_node[p].child[0];
    } else if (m_node[p].child[0] == NIL) {
        q = m_node[p].child[1];
    } else {
        q = m_node[p].child[0];
        if (m_node[q].child[1] != NIL) {
            do {
                q = m_node[q].child[1];
            } while (m_node[q].child[1] != NIL);
            const int qLeft = m_node[q].child[0];
            setChild(m_dad[q], 1, qLeft);
            m_dad[qLeft] = m_dad[q];
            setChild(q, 0, m_node[p].child[0]);
            m_dad[m_node[p].child[0]] = qint16(q);
        }
        setChild(q, 1, m_node[p].child[1]);
        m_dad[m_node[p].child[1]] = qint16(q);
    }
    const int parent = m_dad[p];
    m_dad[q] = qint16(parent);
    setChild(parent, m_node[parent].child[1] == p, q);
    m_dad[p] = NIL;
}

// ---------------------------------------------------------------------------
// Bit writer and encoder

Q_ALWAYS_INLINE void LzHuff::putCode(int bitCount, quint64 code)
{
    // code holds bitCount bits, right-aligned; they go out most significant first.
    // Room for this code and a spare word; the estimate made up front covers
    // real inputs, this covers anything.
    if (m_outPos + 16 > m_out->size())
        m_out->resize(m_out->size() * 2 + 16);
    while (bitCount > 0) {
        const int take = qMin(bitCount, 32);
        bitCount -= take;
        const quint64 part = (code >> bitCount) & ((quint64(1) << take) - 1);
        m_putBuf |= part << (64 - m_putLen - take);
        m_putLen += take;
        char *dst = m_out->data();
        while (m_putLen >= 8) {
            dst[m_outPos++] = char(m_putBuf >> 56);
            m_putBuf <<= 8;
            m_putLen -= 8;
        }
    }
}

void LzHuff::flushBits()
{
    if (m_putLen > 0)
        m_out->data()[m_outPos++] = char(m_putBuf >> 56);
    m_putBuf = 0;
    m_putLen = 0;
}

Q_ALWAYS_INLINE LzHuff::Code LzHuff::codeOf(int c) const
{
    // Walk from the leaf to the root; the bit of the deepest step ends up
    // lowest, so the code goes out root first.
    Code code { 0, 0 };
    int k = m_prnt[leafCode(c)];
    do {
        code.bits |= quint64(k & 1) << code.length;
        ++code.length;
        k = m_prnt[k];
    } while (k != R);
    // The tree is a Huffman tree over counts below 2^16, so it is never
    // anywhere near 64 levels deep.
    Q_ASSERT(code.length < 64);
    return code;
}

Q_ALWAYS_INLINE void LzHuff::putSymbol(int c)
{
    // This symbol's code is read off the tree before the climb put off from
    // the last symbol: the climb only adds to counts unless it moves a
    // subtree (seldom; the code is then read again), and this order lets the
    // processor follow both chains of parent links at once.
    Code code = codeOf(c);
    if (m_pendingClimb != 0) {
        if (climb(m_pendingClimb))
            code = codeOf(c);
        m_pendingClimb = 0;
    }
    if (code.length > m_longestCode)
        m_longestCode = code.length;
    putCode(code.length, code.bits);
    if (m_freq[R] == MAX_FREQ)
        rebuildTree();
    m_pendingClimb = leafStep(m_prnt[leafCode(c)]);
}

// The symbol coder out of line, for use outside the compressor's loop.
void LzHuff::encodeChar(int c)
{
    putSymbol(c);
}

Q_ALWAYS_INLINE void LzHuff::encodePosition(unsigned position)
{
    const unsigned upper = position >> 6;
    putCode(p_len[upper], quint64(p_code[upper]) >> (8 - p_len[upper]));
    putCode(6, position & 0x3F);
}

void LzHuff::beginBlock(QByteArray &out, quint32 uncompressedSize, qsizetype capacity)
{
    m_putBuf = 0;
    m_putLen = 0;
    m_longestCode = 0;
    out.resize(4 + capacity);
    m_out = &out;
    qToLittleEndian<quint32>(uncompressedSize, out.data());
    m_outPos = 4;
}

void LzHuff::endBlock()
{
    finishUpdate();
    flushBits();
    m_out->truncate(m_outPos);
    m_out = nullptr;
}

void LzHuff::compress(const QByteArray &in, QByteArray &out)
{
    out.clear();
    m_in = reinterpret_cast<const uchar *>(in.constData());
    m_inSize = in.size();
    m_inPos = 0;
    m_matchLength = 0;
    m_matchPosition = 0;
    // Worst case: every byte a literal of at most ~24 bits.
    beginBlock(out, quint32(m_inSize), m_inSize * 3 + 16);

    if (m_inSize > 0) {
        startHuff();
        initSearchTree();
        // Positions past the input hold 0x00 until written, as do the copy
        // bytes behind the ring; the stream depends on it for short inputs.
        m_text.fill(0);
        int s = 0;
        int r = N - F;
        std::memset(m_text.data(), RingFill, size_t(r));
        int len = 0;
        while (len < F && m_inPos < m_inSize)
            m_text[r + len++] = m_in[m_inPos++];
        for (int i = 1; i <= F; ++i)
            insertNode(r - i);
        insertNode(r);
        do {
            if (m_matchLength > len)
                m_matchLength = len;
            if (m_matchLength <= THRESHOLD) {
                m_matchLength = 1;
                putSymbol(m_text[r]);
            } else {
                putSymbol(255 - THRESHOLD + m_matchLength);
                encodePosition(unsigned(m_matchPosition));
            }
            const int lastMatchLength = m_matchLength;
            int i = 0;
            for (; i < lastMatchLength && m_inPos < m_inSize; ++i) {
                const uchar c = m_in[m_inPos++];
                deleteNode(s);
                m_text[s] = c;
                if (s < F - 1)
                    m_text[s + N] = c;
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                insertNode(r);
            }
            while (i++ < lastMatchLength) {
                deleteNode(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len)
                    insertNode(r);
            }
        } while (len > 0);
    }
    endBlock();
    m_in = nullptr;
    qDebug().noquote() << QStringLiteral("Compress: %1 --> %2").arg(in.size()).arg(out.size());
}

// ---------------------------------------------------------------------------
// Bit reader and decoder

void LzHuff::refillBits()
{
    // Whole bytes go in below the bits still held; past the end of the
    // input the stream reads as 0 bits.
    if (m_getLen <= 56 && m_inPos + 8 <= m_inSize) {
        const int bytes = (64 - m_getLen) / 8;
        const quint64 word = qFromBigEndian<quint64>(m_in + m_inPos);
        m_getBuf |= (word >> (64 - 8 * bytes)) << (64 - 8 * bytes - m_getLen);
        m_getLen += 8 * bytes;
        m_inPos += bytes;
        return;
    }
    while (m_getLen <= 56) {
        const quint64 byte = m_inPos < m_inSize ? m_in[m_inPos++] : 0u;
        m_getBuf |= byte << (56 - m_getLen);
        m_getLen += 8;
    }
}

int LzHuff::getBit()
{
    if (m_getLen < 1)
        refillBits();
    const int bit = int(m_getBuf >> 63);
    m_getBuf <<= 1;
    --m_getLen;
    return bit;
}

int LzHuff::getByte()
{
    if (m_getLen < 8)
        refillBits();
    const int value = int(m_getBuf >> 56);
    m_getBuf <<= 8;
    m_getLen -= 8;
    return value;
}

Q_ALWAYS_INLINE LzHuff::Walk LzHuff::walkDown(quint64 bits) const
{
    Walk walk { m_son[R], R, 0 };
    while (walk.code < T) {
        walk.leaf = walk.code + int(bits >> 63);
        walk.code = m_son[walk.leaf];
        bits <<= 1;
        ++walk.bits;
    }
    return walk;
}

Q_ALWAYS_INLINE int LzHuff::decodeChar()
{
    // No code is anywhere near 57 bits long (the counts stay below 2^16), so
    // one refill serves the whole symbol.
    if (m_getLen < 57)
        refillBits();
    // The walk down to this symbol's leaf goes first and the climb left over
    // from the last symbol second: the climb only adds to counts, unless it
    // moves a subtree (seldom; the walk is then made again), and this order
    // lets the processor work on both at once.
    Walk walk = walkDown(m_getBuf);
    if (m_pendingClimb != 0) {
        if (climb(m_pendingClimb))
            walk = walkDown(m_getBuf);
        m_pendingClimb = 0;
    }
    m_getBuf <<= walk.bits;
    m_getLen -= walk.bits;
    // A rebuild moves the leaf.
    if (m_freq[R] == MAX_FREQ) {
        rebuildTree();
        walk.leaf = m_prnt[walk.code];
    }
    m_pendingClimb = leafStep(walk.leaf);
    return (walk.code - T) / 2;
}

Q_ALWAYS_INLINE int LzHuff::decodePosition()
{
    int i = getByte();
    const int upper = d_tables.code[i];
    int extra = d_tables.len[i] - 2;
    while (extra--)
        i = (i << 1) + getBit();
    return (upper << 6) | (i & 0x3F);
}

bool LzHuff::expand(const QByteArray &in, QByteArray &out)
{
    out.clear();
    m_getBuf = 0;
    m_getLen = 0;

    // A block too short to hold its size counts as a wrong size.
    quint32 size = 0;
    for (qsizetype i = qMin<qsizetype>(in.size(), 4) - 1; i >= 0; --i)
        size = (size << 8) | uchar(in.at(i));
    if (in.size() < 4 || size > MaxExpandedSize) {
        qWarning().noquote() << QLatin1String(WarningRule);
        qWarning().noquote() << QStringLiteral(
            "WARNING: skipping file, compressed stream corrupted/wrong size !!!");
        qWarning().noquote() << QStringLiteral("Text size: %1").arg(size);
        qWarning().noquote() << QLatin1String(WarningRule);
        qWarning().noquote() << QStringLiteral("Expand: ERROR");
        return false;
    }
    if (size == 0) {
        qWarning().noquote() << QStringLiteral("Expand: ERROR");
        return false;
    }

    m_in = reinterpret_cast<const uchar *>(in.constData());
    m_inSize = in.size();
    m_inPos = 4;

    startHuff();
    m_text.fill(0);
    std::memset(m_text.data(), RingFill, size_t(N - F));
    int r = N - F;

    // A damaged stream may overrun the size by the tail of its last match.
    out.resize(qsizetype(size) + F);
    uchar *dst = reinterpret_cast<uchar *>(out.data());
    quint32 count = 0;
    while (count < size) {
        const int c = decodeChar();
        if (c < 256) {
            dst[count++] = uchar(c);
            m_text[r] = uchar(c);
            r = (r + 1) & (N - 1);
        } else {
            const int start = (r - decodePosition() - 1) & (N - 1);
            const int length = c - 255 + THRESHOLD;
            for (int k = 0; k < length; ++k) {
                const uchar b = m_text[(start + k) & (N - 1)];
                dst[count++] = b;
                m_text[r] = b;
                r = (r + 1) & (N - 1);
            }
        }
    }
    finishUpdate();
    out.truncate(qsizetype(count));
    m_in = nullptr;
    qDebug().noquote() << QStringLiteral("Expand: %1 --> %2").arg(in.size()).arg(out.size());
    return true;
}
