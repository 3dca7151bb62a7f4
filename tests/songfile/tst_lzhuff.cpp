#include "lzhuff.h"

#include <QRandomGenerator>
#include <QtTest>

#include <map>
#include <vector>

namespace
{

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// ---------------------------------------------------------------------------
// Reference coder for the golden blocks.
//
// Written separately from LzHuff, straight from the stream rules: it takes a
// list of tokens (literal bytes and matches whose length and offset were
// worked out by hand for each input, see the comments at the cases) and
// produces the bit stream. It shares no code or tables with LzHuff: the
// adaptive tree is kept as a plain vector of nodes, and the offset prefix
// code is generated from its code lengths as a canonical code.
struct Token {
    int symbol; // 0..255 literal, 256.. match length + 253
    int offset; // match offset (current - start - 1), -1 for a literal
};

Token lit(uchar c)
{
    return Token { c, -1 };
}
Token match(int length, int offset)
{
    return Token { length + 253, offset };
}

class ReferenceCoder
{
public:
    ReferenceCoder()
    {
        // Adaptive tree, initial shape: 283 leaves of count 1 at positions
        // 0..282, then internal nodes pairing positions (0,1), (2,3), ...
        nodes.resize(symbols * 2 - 1);
        leafOf.resize(symbols);
        for (int s = 0; s < symbols; ++s) {
            nodes[s] = Node { 1, true, s, 0 };
            leafOf[s] = s;
        }
        int child = 0;
        for (size_t j = symbols; j < nodes.size(); ++j, child += 2) {
            nodes[j] = Node { nodes[child].count + nodes[child + 1].count, false, child, 0 };
            nodes[child].parent = nodes[child + 1].parent = int(j);
        }
        root = int(nodes.size()) - 1;

        // Offset code: lengths 3,4x3,5x8,6x12,7x24,8x16 in canonical order.
        std::vector<int> lengths;
        const int counts[] = { 1, 3, 8, 12, 24, 16 };
        for (int l = 0; l < 6; ++l)
            for (int k = 0; k < counts[l]; ++k)
                lengths.push_back(l + 3);
        unsigned code = 0;
        for (int u = 0; u < 64; ++u) {
            offsetCode.push_back(code);
            offsetLength.push_back(lengths[u]);
            if (u + 1 < 64)
                code = (code + 1) << (lengths[u + 1] - lengths[u]);
        }
    }

    QByteArray encode(quint32 size, const std::vector<Token> &tokens)
    {
        for (const Token &t : tokens) {
            // Path leaf -> root; a node at an odd position is a second child.
            std::vector<int> path;
            for (int p = leafOf[t.symbol]; p != root; p = nodes[p].parent)
                path.push_back(p & 1);
            for (auto it = path.rbegin(); it != path.rend(); ++it)
                bits.push_back(*it);
            adapt(t.symbol);
            if (t.offset >= 0) {
                const int upper = t.offset >> 6;
                for (int b = offsetLength[upper] - 1; b >= 0; --b)
                    bits.push_back((offsetCode[upper] >> b) & 1);
                for (int b = 5; b >= 0; --b)
                    bits.push_back((t.offset >> b) & 1);
            }
        }
        QByteArray out;
        for (int i = 0; i < 4; ++i)
            out.append(char((size >> (8 * i)) & 0xFF));
        for (size_t i = 0; i < bits.size(); i += 8) {
            int byte = 0;
            for (size_t b = 0; b < 8; ++b)
                byte = (byte << 1) | (i + b < bits.size() ? bits[i + b] : 0);
            out.append(char(byte));
        }
        return out;
    }

private:
    struct Node {
        unsigned count;
        bool leaf;
        int item; // symbol of a leaf, first child position of an internal node
        int parent;
    };

    void relink(int position)
    {
        const Node &n = nodes[position];
        if (n.leaf) {
            leafOf[n.item] = position;
        } else {
            nodes[n.item].parent = position;
            nodes[n.item + 1].parent = position;
        }
    }

    void adapt(int symbol)
    {
        if (nodes[root].count == 0x8000)
            rebuild();
        for (int p = leafOf[symbol];;) {
            const unsigned k = ++nodes[p].count;
            // Positions stay in ascending order of count: move the node up
            // past every position whose count is now smaller.
            int l = p;
            while (l + 1 < int(nodes.size()) && nodes[l + 1].count < k)
                ++l;
            if (l != p) {
                std::swap(nodes[p].count, nodes[l].count);
                std::swap(nodes[p].leaf, nodes[l].leaf);
                std::swap(nodes[p].item, nodes[l].item);
                relink(p);
                relink(l);
                p = l;
            }
            if (p == root)
                break;
            p = nodes[p].parent;
        }
    }

    void rebuild()
    {
        std::vector<Node> leaves;
        for (const Node &n : nodes)
            if (n.leaf)
                leaves.push_back(Node { (n.count + 1) / 2, true, n.item, 0 });
        std::vector<Node> rebuilt(leaves);
        for (int i = 0; rebuilt.size() < nodes.size(); i += 2) {
            const unsigned f = rebuilt[i].count + rebuilt[i + 1].count;
            // Insert after the last node whose count is not greater than f.
            size_t at = rebuilt.size();
            while (at > 0 && rebuilt[at - 1].count > f)
                --at;
            rebuilt.insert(rebuilt.begin() + at, Node { f, false, i, 0 });
        }
        nodes = rebuilt;
        for (int p = 0; p < int(nodes.size()); ++p)
            relink(p);
    }

    static constexpr int symbols = 283;
    std::vector<Node> nodes;
    std::vector<int> leafOf;
    int root = 0;
    std::vector<unsigned> offsetCode;
    std::vector<int> offsetLength;
    std::vector<int> bits;
};

// Bytes without 0x00 and 0x20 in which no 3-byte string occurs twice within
// 5000 bytes: the encoder can find no match in it (the ring starts with
// spaces), so it is coded as literals only.
QByteArray literalOnlyInput(int size)
{
    QRandomGenerator gen(4711);
    std::map<quint32, int> lastSeen;
    QByteArray out;
    while (out.size() < size) {
        for (;;) {
            const uchar c = uchar(gen.bounded(1, 256));
            if (c == 0x20)
                continue;
            if (out.size() >= 2) {
                const quint32 tri = (quint32(uchar(out.at(out.size() - 2))) << 16)
                    | (quint32(uchar(out.at(out.size() - 1))) << 8) | c;
                const auto it = lastSeen.find(tri);
                if (it != lastSeen.end() && out.size() - it->second < 5000)
                    continue;
                lastSeen[tri] = int(out.size());
            }
            out.append(char(c));
            break;
        }
    }
    return out;
}

// MIDI-like bytes: note-on/off pairs with running deltas, repeated phrases
// with small variations, as in a real song's tracks.
QByteArray midiLikeInput(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out("MThd\0\0\0\x06\0\x01\0\x02\x01\xE0MTrk\0\0\0\0", 22);
    QByteArray phrase;
    while (out.size() < size) {
        if (phrase.isEmpty() || gen.bounded(8) == 0) {
            phrase.clear();
            const int notes = 4 + gen.bounded(12);
            for (int n = 0; n < notes; ++n) {
                const char note = char(36 + gen.bounded(48));
                phrase.append(char(gen.bounded(4) * 0x30));
                phrase.append(char(0x90 | gen.bounded(4)));
                phrase.append(note);
                phrase.append(char(64 + gen.bounded(63)));
                phrase.append(char(0x60));
                phrase.append(note);
                phrase.append('\0');
            }
        }
        QByteArray copy = phrase;
        if (gen.bounded(3) == 0)
            copy[3] = char(64 + gen.bounded(63));
        out.append(copy);
    }
    out.truncate(size);
    return out;
}

QByteArray randomInput(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, '\0');
    for (char &c : out)
        c = char(gen.bounded(256));
    return out;
}

} // namespace

class TestLzHuff : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void goldenBlocks_data();
    void goldenBlocks();
    void literalOnlyStreamMatchesReference();
    void refusedBlocks_data();
    void refusedBlocks();
    void sizeLimit();
    void truncatedStream();
    void arbitraryBytesExpandSafely();
    void longCodesAreWrittenWhole();
    void objectIsReusable();
};

void TestLzHuff::init()
{
    // Every call logs its sizes; the tests look at results, not at these lines.
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!Expand: |=+$|WARNING: |Text size: ).*")));
}

void TestLzHuff::roundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("1 byte") << QByteArray("x");
    for (int size : { 3, 4, 17, 28, 29, 30, 31, 56, 57, 4095, 4096, 4097 })
        QTest::newRow(qPrintable(QStringLiteral("midi-like %1").arg(size)))
            << midiLikeInput(size, quint32(size));
    for (int size : { 28, 29, 30, 4095, 4096, 4097 })
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(size)))
            << randomInput(size, quint32(size));
    QTest::newRow("100 spaces") << QByteArray(100, ' ');
    QTest::newRow("5000 zero bytes") << QByteArray(5000, '\0');
    QTest::newRow("5000 spaces then text") << QByteArray(5000, ' ') + QByteArray("end of song");
    QTest::newRow("midi-like 500000") << midiLikeInput(500000, 1);
    QTest::newRow("random 500000") << randomInput(500000, 2);
}

void TestLzHuff::roundTrip()
{
    QFETCH(QByteArray, input);
    LzHuff lz;
    QByteArray block;
    lz.compress(input, block);
    QVERIFY(block.size() >= 4);
    QCOMPARE(qFromLittleEndian<quint32>(block.constData()), quint32(input.size()));
    if (input.isEmpty()) {
        QCOMPARE(block, hex("00000000"));
        QByteArray out("stale");
        QVERIFY(!LzHuff().expand(block, out));
        QVERIFY(out.isEmpty());
        return;
    }
    QByteArray back;
    QVERIFY(LzHuff().expand(block, back));
    QCOMPARE(back, input);
}

void TestLzHuff::goldenBlocks_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("block");

    // Worked out by hand from the initial tree (283 leaves of count 1 at
    // positions 0..282, node 283 + m over positions 2m and 2m + 1, root 564).
    // "A": leaf 65 -> 315 -> 440 -> 503 -> 534 -> 550 -> 558 -> 562 -> root;
    // odd positions give 1: 1,1,0,1,0,0,0,0 from the leaf, sent root first:
    // 00001011 = 0B.
    QTest::newRow("A") << QByteArray("A") << hex("01000000 0B");
    // 0x00: leaf 0 -> 283 -> 424 -> 495 -> 530 -> 548 -> 557 -> 561 -> 563
    // -> root: 0,1,0,1,0,0,1,1,1 from the leaf, 9 bits root first
    // 111001010, padded with zeros: E5 00.
    QTest::newRow("zero byte") << QByteArray(1, '\0') << hex("01000000 E500");
    // Three spaces. The ring holds spaces up to 4066 and the input at
    // 4067..4069; the look-ahead past the input holds 0x00. Inserting 4066
    // (4 spaces, then 0x00) .. 4042 builds a chain of right links; 4041..4038
    // hold 29 spaces and replace each other. The string at 4067 ("   " 00)
    // meets 4066 first: 3 equal bytes, then 00 < 20, so the match is length 3
    // at offset (4067 - 4066) - 1 = 0 and nothing better follows on the left.
    // Symbol 256 (3 + 253): leaf 256 -> 411 -> 488 -> 527 -> 546 -> 556 ->
    // 561 -> 563 -> root: 0,1,0,1,0,0,1,1 from the leaf, root first 11001010
    // (CA); offset 0: code 000 and 6 bits 000000; 17 bits in all: CA 00 00.
    // (With spaces in the look-ahead the offset would be 28: CA 0E 00.)
    QTest::newRow("three spaces") << QByteArray("   ") << hex("03000000 CA0000");

    // Tokens by hand, bits from the reference coder above.
    // "ABCDABCD": no string of the ring starts with 'A' until the input's
    // own, so A B C D are literals; at 4071 "ABCD" 00.. meets 4067
    // "ABCDABCD": 4 equal bytes, offset (4071 - 4067) - 1 = 3.
    QTest::newRow("ABCDABCD") << QByteArray("ABCDABCD")
                              << ReferenceCoder().encode(
                                     8, { lit('A'), lit('B'), lit('C'), lit('D'), match(4, 3) });
    // "xyzxyzxyzxyz": x y z literals, then the string at 4070 "xyzxyzxyz" 00
    // meets 4067 "xyzxyzxyzxyz": 9 equal bytes before 00 != 'x', offset 2;
    // the match covers the rest of the input (9 bytes).
    QTest::newRow("xyz x4") << QByteArray("xyzxyzxyzxyz")
                            << ReferenceCoder().encode(
                                   12, { lit('x'), lit('y'), lit('z'), match(9, 2) });
    // "a" and 28 spaces: the whole input sits in the look-ahead at
    // 4067..4095. The strings at 4066..4039 hold a run of spaces and the 'a'
    // at 4067 and hang as a chain of left links; 4038 (29 spaces) hangs left
    // of 4039. 'a' is a literal. The string at 4068 is 28 spaces followed by
    // the copy area at 4096, still 0x00: against 4039 it meets 0x00 < 'a'
    // after 28 equal bytes (offset 28), against 4038 0x00 < ' ' after 28
    // (offset 29, not smaller): match 28 at offset 28. (A copy area filled
    // with spaces would match 4038 in full and give offset 29.)
    QTest::newRow("a and 28 spaces") << QByteArray("a") + QByteArray(28, ' ')
                                     << ReferenceCoder().encode(29, { lit('a'), match(28, 28) });
    // 31 x 'q' then "!": the first 29 bytes fill 4067..4095. 'q' is a
    // literal (no 'q' string in the tree yet). Reading the 30th byte writes
    // ring position 0 and its copy at 4096, so the string at 4068 is 29 'q'
    // and equals the one at 4067 over all 29 bytes: match of 29 at offset 0.
    // It covers input bytes 2..30; then r = 1 holds "q!" followed by the
    // ring's spaces, and no string in the tree starts with "q!": the last
    // two bytes are literals.
    QTest::newRow("31 q then !") << QByteArray(31, 'q') + QByteArray("!")
                                 << ReferenceCoder().encode(
                                        32, { lit('q'), match(29, 0), lit('q'), lit('!') });
}

void TestLzHuff::goldenBlocks()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, block);
    LzHuff lz;
    QByteArray out;
    QTest::ignoreMessage(QtDebugMsg,
        qPrintable(QStringLiteral("Compress: %1 --> %2").arg(input.size()).arg(block.size())));
    lz.compress(input, out);
    QCOMPARE(out.toHex(' '), block.toHex(' '));
    QByteArray back;
    QTest::ignoreMessage(QtDebugMsg,
        qPrintable(QStringLiteral("Expand: %1 --> %2").arg(block.size()).arg(input.size())));
    QVERIFY(lz.expand(block, back));
    QCOMPARE(back, input);
}

void TestLzHuff::literalOnlyStreamMatchesReference()
{
    // 70,000 literals: the root count reaches 0x8000 twice, so the tree is
    // rebuilt with halved counts on the way. The input can hold no match
    // (see literalOnlyInput), so its tokens are its bytes.
    const QByteArray input = literalOnlyInput(70000);
    std::vector<Token> tokens;
    for (char c : input)
        tokens.push_back(lit(uchar(c)));
    const QByteArray expected = ReferenceCoder().encode(quint32(input.size()), tokens);

    QByteArray out;
    LzHuff().compress(input, out);
    QCOMPARE(out.size(), expected.size());
    QVERIFY2(out == expected,
        qPrintable(QStringLiteral("first difference at byte %1")
                       .arg(std::mismatch(out.cbegin(), out.cend(), expected.cbegin()).first
                           - out.cbegin())));
    QByteArray back;
    QVERIFY(LzHuff().expand(expected, back));
    QCOMPARE(back, input);
}

void TestLzHuff::refusedBlocks_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("sizeWarning");
    QTest::addColumn<QString>("shownSize");
    QTest::newRow("nothing") << QByteArray() << true << QStringLiteral("0");
    QTest::newRow("three bytes") << hex("0A0000") << true << QStringLiteral("10");
    QTest::newRow("size 0") << hex("00000000 FFFF") << false << QString();
    QTest::newRow("size 500001") << hex("21A10700 00") << true << QStringLiteral("500001");
    QTest::newRow("size 0xFFFFFFFF")
        << hex("FFFFFFFF 1234") << true << QStringLiteral("4294967295");
}

void TestLzHuff::refusedBlocks()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, sizeWarning);
    QFETCH(QString, shownSize);
    const char *rule = "=====================================================================";
    if (sizeWarning) {
        QTest::ignoreMessage(QtWarningMsg, rule);
        QTest::ignoreMessage(
            QtWarningMsg, "WARNING: skipping file, compressed stream corrupted/wrong size !!!");
        QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral("Text size: ") + shownSize));
        QTest::ignoreMessage(QtWarningMsg, rule);
    }
    QTest::ignoreMessage(QtWarningMsg, "Expand: ERROR");
    QByteArray out("previous content");
    QVERIFY(!LzHuff().expand(block, out));
    QVERIFY(out.isEmpty());
}

void TestLzHuff::sizeLimit()
{
    // 500,000 bytes is the most the device accepts; one more compresses but
    // its block is refused.
    const QByteArray atLimit = randomInput(500000, 7);
    QByteArray block;
    LzHuff lz;
    lz.compress(atLimit, block);
    QByteArray back;
    QVERIFY(lz.expand(block, back));
    QCOMPARE(back.size(), 500000);

    const QByteArray over = atLimit + QByteArray("x");
    lz.compress(over, block);
    QCOMPARE(qFromLittleEndian<quint32>(block.constData()), 500001u);
    QTest::ignoreMessage(QtWarningMsg, "Expand: ERROR");
    QTest::ignoreMessage(
        QtWarningMsg, "=====================================================================");
    QTest::ignoreMessage(
        QtWarningMsg, "WARNING: skipping file, compressed stream corrupted/wrong size !!!");
    QTest::ignoreMessage(QtWarningMsg, "Text size: 500001");
    QTest::ignoreMessage(
        QtWarningMsg, "=====================================================================");
    QVERIFY(!lz.expand(block, back));
    QVERIFY(back.isEmpty());
}

void TestLzHuff::truncatedStream()
{
    // A damaged stream is not detected: the reader feeds zeros past the end.
    QByteArray out;
    QVERIFY(LzHuff().expand(hex("0A000000 0B"), out));
    QVERIFY(out.size() >= 10);
    QCOMPARE(out.at(0), 'A');

    // A real block cut anywhere still expands to (at least) its size.
    const QByteArray input = midiLikeInput(3000, 99);
    QByteArray block;
    LzHuff lz;
    lz.compress(input, block);
    for (int cut = 4; cut < block.size(); cut += 37) {
        QVERIFY(lz.expand(block.left(cut), out));
        QVERIFY(out.size() >= input.size() && out.size() < input.size() + LzHuff::F);
        // What was fully in the kept part comes out unchanged.
        if (cut > 40)
            QCOMPARE(out.left(10), input.left(10));
    }
}

void TestLzHuff::arbitraryBytesExpandSafely()
{
    // Garbage of every kind returns normally; the sanitizer build checks the
    // buffer accesses.
    QRandomGenerator gen(12345);
    LzHuff lz;
    QByteArray out;
    for (int round = 0; round < 200; ++round) {
        QByteArray block = randomInput(int(gen.bounded(1, 300)), gen.generate());
        const quint32 size = gen.bounded(1u, 20000u);
        qToLittleEndian<quint32>(size, block.data());
        if (block.size() < 4)
            continue;
        QVERIFY(lz.expand(block, out));
        QVERIFY(out.size() >= int(size) && out.size() < int(size) + LzHuff::F);
    }
    // Longest possible expansion of a tiny block.
    QByteArray block = hex("20A10700 FF");
    QVERIFY(lz.expand(block, out));
    QVERIFY(out.size() >= 500000);
}

// The symbol coder of LzHuff driven directly with a chosen literal sequence.
class SymbolCoder : public LzHuff
{
public:
    QByteArray encodeLiterals(const QByteArray &bytes)
    {
        QByteArray out;
        beginBlock(out, quint32(bytes.size()), bytes.size() * 8 + 16);
        startHuff();
        for (char c : bytes)
            encodeChar(uchar(c));
        endBlock();
        return out;
    }
};

void TestLzHuff::longCodesAreWrittenWhole()
{
    // Real inputs seldom push a leaf below 16 levels: it takes counts that
    // grow like the Fibonacci numbers. Nine byte values coded 300 x 1, 1, 2,
    // 3, 5, 8, 13, 21, 34 times, rarest first, stack nine levels on top of
    // the 274 symbols still at count 1 (8 or 9 levels among themselves);
    // then every byte value is coded once, reaching the deepest leaves.
    const int fib[] = { 1, 1, 2, 3, 5, 8, 13, 21, 34 };
    QByteArray literals;
    for (int v = 0; v < 9; ++v)
        literals.append(300 * fib[v], char('a' + v));
    for (int c = 0; c < 256; ++c)
        literals.append(char(c));

    std::vector<Token> tokens;
    for (char c : literals)
        tokens.push_back(lit(uchar(c)));
    const QByteArray expected = ReferenceCoder().encode(quint32(literals.size()), tokens);

    SymbolCoder coder;
    const QByteArray block = coder.encodeLiterals(literals);
    QVERIFY2(
        coder.longestCodeWritten() >= 18, qPrintable(QString::number(coder.longestCodeWritten())));
    QCOMPARE(block.toHex(), expected.toHex());
    QByteArray back;
    QVERIFY(LzHuff().expand(block, back));
    QCOMPARE(back, literals);
}

void TestLzHuff::objectIsReusable()
{
    const QByteArray first = midiLikeInput(20000, 5);
    const QByteArray second = randomInput(5000, 6);
    LzHuff fresh;
    QByteArray expectedSecond;
    fresh.compress(second, expectedSecond);

    LzHuff lz;
    QByteArray block;
    QByteArray out;
    lz.compress(first, block);
    QVERIFY(lz.expand(block, out));
    lz.compress(second, block);
    QCOMPARE(block, expectedSecond);
    QVERIFY(lz.expand(block, out));
    QCOMPARE(out, second);
}

QTEST_GUILESS_MAIN(TestLzHuff)
#include "tst_lzhuff.moc"
