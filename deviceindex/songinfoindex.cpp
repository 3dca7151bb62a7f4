#include "songinfoindex.h"

#include <QTextCodec>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace
{

QTextCodec *ibm850()
{
    static QTextCodec *codec = QTextCodec::codecForName("IBM 850");
    return codec;
}

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QChar asciiUpper(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? QChar(char16_t(u - 32)) : c;
}

} // namespace

QString stringToUpper(const QString &text)
{
    return text.toUpper();
}

QByteArray pathSortKey(const QString &path)
{
    if (isAscii(path)) {
        QByteArray key = path.toLatin1();
        for (char &c : key) {
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
        }
        return key;
    }
    const QString upper = stringToUpper(path);
    QTextCodec *codec = ibm850();
    return codec ? codec->fromUnicode(upper) : upper.toLatin1();
}

int comparePathKeys(const QByteArray &a, const QByteArray &b)
{
    const qsizetype common = qMin(a.size(), b.size());
    const int c = common > 0 ? std::memcmp(a.constData(), b.constData(), size_t(common)) : 0;
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int comparePaths(const QString &a, const QString &b)
{
    // Most paths are plain ASCII: there the IBM 850 bytes of the upper-cased
    // text are the upper-cased characters themselves.
    if (isAscii(a) && isAscii(b)) {
        const qsizetype common = qMin(a.size(), b.size());
        for (qsizetype i = 0; i < common; ++i) {
            const char16_t ca = asciiUpper(a.at(i)).unicode();
            const char16_t cb = asciiUpper(b.at(i)).unicode();
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    return comparePathKeys(pathSortKey(a), pathSortKey(b));
}

bool compareByPosidx(const SongInfoIndex &a, const SongInfoIndex &b)
{
    return a.posidx < b.posidx;
}

bool compareById(const SongInfoIndex &a, const SongInfoIndex &b)
{
    return a.id < b.id;
}

bool compareByPath(const SongInfoIndex &a, const SongInfoIndex &b)
{
    return comparePaths(a.path, b.path) < 0;
}

bool compareTitle(const SongInfoIndex &a, const SongInfoIndex &b)
{
    return QString::compare(a.title, b.title, Qt::CaseInsensitive) < 0;
}

bool compareArtist(const SongInfoIndex &a, const SongInfoIndex &b)
{
    const int c = QString::compare(a.artist, b.artist, Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    return QString::compare(a.title, b.title, Qt::CaseInsensitive) < 0;
}

bool compareGenre(const SongInfoIndex &a, const SongInfoIndex &b)
{
    const int c = QString::compare(a.genre, b.genre, Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    return QString::compare(a.title, b.title, Qt::CaseInsensitive) < 0;
}

namespace
{

// The form QString::compare(..., Qt::CaseInsensitive) compares: each
// character case-folded.
QString foldedKey(const QString &text)
{
    QString folded(text.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    for (QChar c : text)
        *out++ = c.toCaseFolded();
    return folded;
}

struct SortKey {
    QString first;
    QString second;
    QByteArray path;
    qsizetype index = 0;
};

} // namespace

void sortSongs(QList<SongInfoIndex> &songs, SongOrderEnum order)
{
    std::vector<SortKey> keys(size_t(songs.size()));
    for (qsizetype i = 0; i < songs.size(); ++i) {
        const SongInfoIndex &song = songs.at(i);
        SortKey &key = keys[size_t(i)];
        key.index = i;
        switch (order) {
        case SongOrderEnum::Path:
            key.path = pathSortKey(song.path);
            break;
        case SongOrderEnum::Title:
            key.first = foldedKey(song.title);
            break;
        case SongOrderEnum::Artist:
            key.first = foldedKey(song.artist);
            key.second = foldedKey(song.title);
            break;
        case SongOrderEnum::Genre:
            key.first = foldedKey(song.genre);
            key.second = foldedKey(song.title);
            break;
        }
    }
    if (order == SongOrderEnum::Path) {
        std::stable_sort(keys.begin(), keys.end(),
            [](const SortKey &a, const SortKey &b) { return comparePathKeys(a.path, b.path) < 0; });
    } else {
        std::stable_sort(keys.begin(), keys.end(), [](const SortKey &a, const SortKey &b) {
            const int c = a.first.compare(b.first);
            return c != 0 ? c < 0 : a.second.compare(b.second) < 0;
        });
    }
    QList<SongInfoIndex> sorted;
    sorted.reserve(songs.size());
    for (const SortKey &key : keys)
        sorted.append(std::move(songs[key.index]));
    songs = std::move(sorted);
}
