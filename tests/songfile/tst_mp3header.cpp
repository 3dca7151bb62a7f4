#include "mp3header.h"
#include "songbuilders.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Bytes::hex;

namespace
{
Mp3Header loaded(const QByteArray &bytes)
{
    Mp3Header mp3;
    if (!mp3.loadHeader(bytes))
        qWarning("test tag did not load");
    return mp3;
}

} // namespace

class TestMp3Header : public QObject
{
    Q_OBJECT

private slots:
    void loadHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("tag"); // empty: refused
        QTest::addColumn<int>("audioStart");
        // clang-format off
        const QByteArray emptyTag("ID3\x03\0\0\0\0\0\0", 10);
        const QByteArray v23 = Mp3Builder(3).text("TIT2", "Song").padding(5).tag();
        QByteArray badSize = v23;
        badSize[7] = char(0x80);
        QTest::newRow("too short") << QByteArray("ID3\x03\0\0\0\0\0", 9) << QByteArray() << 0;
        QTest::newRow("no tag") << Mp3Builder::audio(1) << emptyTag << 0;
        QTest::newRow("v2.3 with audio") << v23 + Mp3Builder::audio() << v23 << int(v23.size());
        QTest::newRow("size byte 0x80") << badSize << badSize.left(10) << 10;
        QTest::newRow("tag larger than the data") << v23.left(15) << QByteArray() << 0;
        QTest::newRow("last bytes missing") << v23.left(v23.size() - 3) << v23.left(v23.size() - 3) + QByteArray(3, '\0') << int(v23.size());
        QTest::newRow("v2.2") << QByteArray("ID3\x02\0\0\0\0\0\x0cTT2\0\0\x02\0A\0\0\0\0", 22) << QByteArray() << 0;
        QTest::newRow("unsynchronisation") << Mp3Builder(3, 0x80).text("TIT2", "S").tag() << QByteArray() << 0;
        QTest::newRow("extended header") << Mp3Builder(4, 0x40).text("TIT2", "S").tag() << QByteArray() << 0;
        QTest::newRow("footer") << Mp3Builder(4, 0x10).text("TIT2", "S").tag() << QByteArray() << 0;
        // clang-format on
    }

    void loadHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, tag);
        if (bytes.startsWith("ID3") && bytes.size() >= 10
            && (bytes.at(3) < 3 || bytes.at(3) > 4 || bytes.at(5)))
            QTest::ignoreMessage(QtWarningMsg,
                QRegularExpression(QStringLiteral(
                    "^\\[Mp3Header::loadHeader\\] WARNING: ID3v2\\.\\d tag.* not supported !!!$")));
        Mp3Header mp3;
        QCOMPARE(mp3.loadHeader(bytes), !tag.isEmpty());
        if (!tag.isEmpty()) {
            QCOMPARE(mp3.stream(), tag);
            QTEST(mp3.getAudioDataStartPos(), "audioStart");
        }
    }

    // Frames are found by walking the headers, never by searching the bytes: a
    // text or padding holding an identifier is not taken for that frame.
    void framesFoundByTheirHeaders()
    {
        Mp3Header mp3
            = loaded(Mp3Builder(3).texts("TIT2=TPE1 Tribute;TPE1=Real").padding(10).tag());
        QCOMPARE(mp3.artist(), QStringLiteral("Real"));
        mp3.setArtist(QStringLiteral("Other"));
        QCOMPARE(
            mp3.stream(), Mp3Builder(3).texts("TPE1=Other;TIT2=TPE1 Tribute").padding(10).tag());
        QVERIFY(!loaded(Mp3Builder(3).text("TIT2", "TPE1 Tribute").tag()).hasArtist());
        QByteArray padded = Mp3Builder(3).text("TIT2", "x").padding(20).tag();
        QVERIFY(!loaded(padded.replace(padded.size() - 10, 4, "TCOM")).hasAuthor());
        // A frame size running past the tag ends the walk.
        QByteArray huge = Mp3Builder(3).texts("TIT2=Song;TPE1=A").tag();
        Mp3Header broken = loaded(huge.replace(14, 4, QByteArray(4, '\xff')));
        QVERIFY(!broken.hasTitle() && !broken.hasArtist());

        // Two frames of one name: the first is read and replaced.
        Mp3Header two = loaded(Mp3Builder(3).texts("TIT2=First;TPE1=A;TIT2=Second").tag());
        QCOMPARE(two.title(), QStringLiteral("First"));
        two.setTitle(QStringLiteral("New"));
        QCOMPARE(two.stream(), Mp3Builder(3).texts("TIT2=New;TPE1=A;TIT2=Second").tag());
        two.setTitle(QString());
        QCOMPARE(two.title(), QStringLiteral("Second"));
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("other"); // how the text and "!" is written
        // clang-format off
        QTest::newRow("Latin-1") << hex("00", " Perch\xe9 ") << QStringLiteral("Perché") << QByteArray("Perch\xe9!");
        QTest::newRow("UTF-16 little-endian, up to a zero") << hex("01fffe53006f006e00670000004100")
                                                           << QStringLiteral("Song") << QByteArray("Song!");
        QTest::newRow("UTF-16 big-endian mark, surrogate pair") << hex("01feff00200041d834dd1e")
                                                               << QStringLiteral("A\U0001D11E") << QByteArray("A?!");
        QTest::newRow("UTF-16 big-endian, odd byte") << hex("0200500065007200630068000000e9ff")
                                                    << QStringLiteral("Perch") << QByteArray("Perch!");
        QTest::newRow("UTF-8, up to a zero") << hex("03", "Perch\xc3\xa9 \xe2\x82\xac") + hex("0078")
                                            << QStringLiteral("Perché €") << QByteArray("Perch\xe9 ?!");
        QTest::newRow("frame of size 0") << QByteArray() << QString() << QByteArray("!");
        QTest::newRow("UTF-16, empty") << hex("01fffe") << QString() << QByteArray("!");
        // clang-format on
    }

    // UTF-16 and UTF-8 texts read as what they are. Writing the same text
    // leaves such a frame where it is, byte for byte; any other write (and
    // every write over Latin-1) puts a Latin-1 frame at the head.
    void encodings()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(QByteArray, other);
        const QByteArray tag
            = Mp3Builder(3).text("TALB", "Album").frame("TIT2", body).padding(8).tag();
        Mp3Header mp3 = loaded(tag);
        QCOMPARE(mp3.title(), text);
        mp3.setTitle(text);
        QCOMPARE(mp3.stream() == tag, !body.isEmpty() && body.at(0) != 0);
        mp3.setTitle(text + QLatin1Char('!'));
        QCOMPARE(
            mp3.stream(), Mp3Builder(3).text("TIT2", other).text("TALB", "Album").padding(8).tag());
    }

    // Synchsafe sizes that land on every frame are kept, even when a frame
    // body holds bytes that look like frame headers under the plain reading.
    void fakeFrameHeadersInABody()
    {
        // Body size 128: synchsafe 00 00 01 00; read plain, 256, which lands
        // 118 bytes into the next body, on two fake frames ending with it.
        const QByteArray title = '\0' + QByteArray(127, 'T');
        const QByteArray priv = QByteArray(118, 'p') + "TPE1" + hex("00000004000000", "Bad")
            + "TCON" + hex("00000006000000", "Fakes");
        Mp3Header mp3
            = loaded(Mp3Builder(4).frame("TIT2", title).frame("PRIV", priv).padding(10).tag());
        QVERIFY(!mp3.hasArtist() && !mp3.hasGenre());
        mp3.setArtist(QStringLiteral("Real"));
        QCOMPARE(mp3.stream().toHex(),
            Mp3Builder(4)
                .text("TPE1", "Real")
                .frame("TIT2", title)
                .frame("PRIV", priv)
                .padding(10)
                .tag()
                .toHex());
    }

    void checkedByMutagen_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("version");
        // clang-format off
        const QByteArray t180(180, 't');
        QTest::newRow("no tag") << Mp3Builder::audio() << QStringLiteral("version 2.3");
        QTest::newRow("v2.3") << Mp3Builder(3).text("TIT2", "Old").text("TALB", "Album").text("TPE1", "TIT2 fan").padding(64).tag() + Mp3Builder::audio() << QStringLiteral("version 2.3");
        QTest::newRow("v2.4") << Mp3Builder(4).text("TIT2", t180).text("TALB", "Album").padding(32).tag() + Mp3Builder::audio() << QStringLiteral("version 2.4");
        QTest::newRow("v2.4 plain sizes") << Mp3Builder(4).plainFrameSizes().text("TIT2", t180).text("TALB", "Album").text("TCON", "Jazz").tag() + Mp3Builder::audio() << QStringLiteral("version 2.4");
        // clang-format on
    }

    // mutagen, an independent reader, must see exactly the frames written.
    void checkedByMutagen()
    {
        QFETCH(QByteArray, original);
        QFETCH(QString, version);
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral("-c"), QStringLiteral("import mutagen") });
        if (!python.waitForFinished(30000) || python.exitCode() != 0)
            QSKIP("python3-mutagen is not installed");
        Mp3Header mp3 = loaded(original);
        mp3.setTitle(QString(160, QLatin1Char('T')));
        mp3.setArtist(QStringLiteral("Città € artist"));
        mp3.setGenre(QStringLiteral("Pop"));
        mp3.setAuthor(QStringLiteral("G. Verdi"));
        mp3.setKey(QStringLiteral("F#-"));
        mp3.setUserBpm(128);
        mp3.setLength(215);
        mp3.setArtist(QStringLiteral("Città artist"));
        if (!mp3.hasQuenorEditParam())
            mp3.setQuenorEditParam();
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("song.mp3")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(mp3.stream() + original.mid(mp3.getAudioDataStartPos()));
        file.close();
        // The tag version, then each frame in file order: identifier, encoding
        // and text, or the raw bytes of a frame mutagen does not know.
        const char script[] = R"(
import sys
from mutagen.id3 import ID3, Frames
from mutagen.id3._tags import ID3Header, read_frames
tags = ID3(sys.argv[1])
print("version %d.%d" % tags.version[:2])
with open(sys.argv[1], "rb") as f:
    header = ID3Header(f)
    data = f.read(header.size - 10)
frames, unknown, rest = read_frames(header, data, Frames)
for fr in frames:
    print("%s %d %s" % (fr.FrameID, fr.encoding, "/".join(str(t) for t in fr.text)))
for raw in unknown:
    print("raw %s %s" % (raw[:4].decode("ascii"), raw[10:].hex()))
print("rest %d" % len(rest.strip(b"\x00")))
)";
        python.start(QStringLiteral("/usr/bin/python3"),
            { QStringLiteral("-c"), QString::fromLatin1(script), file.fileName() });
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(QString::fromLocal8Bit(python.readAllStandardError()), QString());
        QStringList expected = QStringLiteral("%1|TPE1 0 Città artist|TLEN 0 215000|TBPM 0 128|"
                                              "TKEY 0 F#-|TCOM 0 G. Verdi|TCON 0 Pop|TIT2 0 %2")
                                   .arg(version, QString(160, QLatin1Char('T')))
                                   .split(QLatin1Char('|'));
        if (original.startsWith("ID3"))
            expected << QStringLiteral("TALB 0 Album");
        expected << QStringLiteral("raw QEDT 00000000") << QStringLiteral("rest 0");
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput())
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            expected);
    }
};

QTEST_GUILESS_MAIN(TestMp3Header)
#include "tst_mp3header.moc"
