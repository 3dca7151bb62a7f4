// The walk over a memory, the renaming of names the device cannot use and the
// entries of new song files.

#include "index.h"

#include "indexrecords.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

const char SfxFolder[] = "sfx";
const char BridgeFolder[] = "bridge";
// The device shows base names of up to eight characters.
constexpr int MaxBaseName = 8;

uint codePointAt(const QString &text, qsizetype i, qsizetype *units)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    }
    *units = 1;
    return c.unicode();
}

QString withoutMarks(const QString &text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype units = 1;
        const uint c = codePointAt(text, i, &units);
        if (!QChar::isMark(c))
            plain += text.mid(i, units);
        i += units;
    }
    return plain;
}

// One character the device cannot show, in its nearest IBM 850 form: with
// as many of its accents as IBM 850 has, else its base letter (or its
// compatibility form, "TM" for the trade mark sign), else "_".
QString nearestIbm850(const QString &cluster)
{
    QString decomposed = cluster.normalized(QString::NormalizationForm_D);
    while (!decomposed.isEmpty()) {
        const QString composed = decomposed.normalized(QString::NormalizationForm_C);
        if (IndexRecords::isIbm850(composed))
            return composed;
        const QChar last = decomposed.back();
        if (!last.isMark())
            break;
        decomposed.chop(1);
    }
    const QString compatible = withoutMarks(cluster.normalized(QString::NormalizationForm_KD));
    if (!compatible.isEmpty() && IndexRecords::isIbm850(compatible))
        return compatible;
    return QStringLiteral("_");
}

// The name with every character the device cannot show replaced.
QString ibm850Name(const QString &name)
{
    const QString text = name.normalized(QString::NormalizationForm_C);
    if (IndexRecords::isIbm850(text))
        return text;
    QString result;
    for (qsizetype i = 0; i < text.size();) {
        // A character with the accents that follow it.
        qsizetype units = 1;
        codePointAt(text, i, &units);
        qsizetype end = i + units;
        while (end < text.size()) {
            qsizetype markUnits = 1;
            if (!QChar::isMark(codePointAt(text, end, &markUnits)))
                break;
            end += markUnits;
        }
        const QString cluster = text.mid(i, end - i);
        result += IndexRecords::isIbm850(cluster) ? cluster : nearestIbm850(cluster);
        i = end;
    }
    return result;
}

} // namespace

bool Index::checkFileExt(const QString &suffix)
{
    static const char *const accepted[] = { "MID", "KAR", "MF3", "MF4", "MF5", "MP3" };
    for (const char *ext : accepted) {
        if (suffix.compare(QLatin1String(ext), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString Index::getLongFileNamePath(const QString &path)
{
    return path;
}

QString Index::getShortFileNamePath(const QString &path)
{
    return path;
}

void Index::scan_files(const QString &dirPath)
{
    const QString folder = renameLongFileName(dirPath);
    if (folder.isEmpty())
        return;

    // Files and folders together, by name ignoring case, hidden ones left out.
    // Sorted here with each lower-case name made once.
    const QFileInfoList listed = QDir(folder).entryInfoList(QDir::AllEntries, QDir::Unsorted);
    std::vector<std::pair<QString, qsizetype>> order;
    order.reserve(size_t(listed.size()));
    for (qsizetype i = 0; i < listed.size(); ++i)
        order.emplace_back(listed.at(i).fileName().toLower(), i);
    std::sort(order.begin(), order.end());
    for (const auto &item : order) {
        if (m_stopRequested)
            return;
        const QFileInfo &info = listed.at(item.second);
        const QString name = info.fileName();
        if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
            || info.isHidden())
            continue;
        if (info.isDir()) {
            if (name.compare(QLatin1String(SfxFolder), Qt::CaseInsensitive) == 0
                || name.compare(QLatin1String(BridgeFolder), Qt::CaseInsensitive) == 0)
                continue;
            // A memory card has no links; one that points back up the tree
            // would never end.
            if (info.isSymLink())
                continue;
            scan_files(info.absoluteFilePath());
            continue;
        }
        emit currentPathChanged(info.filePath());
        if (!checkFileExt(info.suffix()))
            continue;
        const QString path = renameLongFileName(info.absoluteFilePath());
        if (path.isEmpty())
            continue;
        addFileToIndex(path == info.absoluteFilePath() ? info : QFileInfo(path));
        ++m_filesFound;
        emit fileFoundChanged(m_filesFound);
    }
}

QString Index::renameLongFileName(const QString &path)
{
    if (path.compare(m_rootPath, Qt::CaseInsensitive) == 0)
        return path;
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    // Fast way out for the common name: short and plain.
    if (base.size() <= MaxBaseName && IndexRecords::isIbm850(info.fileName()))
        return path;
    const bool isFolder = info.isDir();

    // Characters outside IBM 850 would reach the device as "?": a file it
    // cannot open.
    const QString newBase = ibm850Name(base);
    const bool isLong = newBase.size() > MaxBaseName;
    if (!isLong && newBase == base && IndexRecords::isIbm850(info.fileName()))
        return path;

    QString folder = info.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder.append(QLatin1Char('/'));
    const QString suffix = isFolder ? QString() : QLatin1Char('.') + ibm850Name(info.suffix());

    // The device's file system ignores letter case: "Amore3-1.mid" is taken
    // when "AMORE3-1.MID" exists.
    QSet<QString> taken;
    for (const QString &name :
        QDir(info.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        taken.insert(name.toUpper());
    auto isFree = [&taken](const QString &name) { return !taken.contains(name.toUpper()); };

    QString newName;
    if (!isLong) {
        const QString name = isFolder ? ibm850Name(info.fileName()) : newBase + suffix;
        if (isFree(name))
            newName = name;
    }
    if (newName.isEmpty()) {
        QString kept;
        for (QChar c : newBase) {
            if (c != QLatin1Char(' ') && c != QLatin1Char('.') && c != QLatin1Char('\'')
                && c != QLatin1Char('-'))
                kept.append(c);
        }
        for (int n = 1; newName.isEmpty(); ++n) {
            if (n > 999) {
                qWarning() << "[Index::renameLongFileName] WARNING: no free short name for" << path;
                return QString();
            }
            const int keep = n < 10 ? 6 : (n < 100 ? 5 : 4);
            const QString candidate
                = kept.left(keep) + QLatin1Char('-') + QString::number(n) + suffix;
            if (isFree(candidate))
                newName = candidate;
        }
    }
    const QString newPath = folder + newName;

    if (!askToRename(path, newPath))
        return path;

    const bool renamed = isFolder ? QDir().rename(path, newPath) : QFile::rename(path, newPath);
    if (!renamed) {
        qWarning() << "[Index::renameLongFileName] WARNING: cannot rename" << path << "to"
                   << newPath;
        return QString();
    }
    qDebug() << "[Index::renameLongFileName]" << path << "renamed to" << newPath;
    return newPath;
}

bool Index::askToRename(const QString &path, const QString &newPath)
{
    if (m_askRename) {
        const QString message = tr("verrà rinominato: ") + newPath + QLatin1String("\n\n")
            + tr("Se il file non viene rinominato, è possibile che non venga rilevato da Quenor.");
        // Nobody to ask: a file is never renamed without consent.
        const int answer = m_renameQuestion ? m_renameQuestion(path, message) : RenameNoAll;
        switch (answer) {
        case RenameYes:
            m_doRename = true;
            break;
        case RenameYesAll:
            m_doRename = true;
            m_askRename = false;
            break;
        case RenameNoAll:
            m_doRename = false;
            m_askRename = false;
            break;
        case RenameNo:
        default:
            m_doRename = false;
            break;
        }
    }
    return m_doRename;
}

bool Index::addFileToIndex(const QFileInfo &file)
{
    const QString longPath = file.absoluteFilePath();
    const QString shortPath = getShortFileNamePath(longPath);
    const QString rootShort = getShortFileNamePath(m_rootPath);
    if (shortPath.isEmpty() || rootShort.isEmpty()) {
        qWarning() << "[Index::addFileToIndex] WARNING: path error, file not indexed:" << longPath;
        emit errorFromIndex(tr("File non importato, errore nel path:") + longPath);
        return false;
    }
    const QString path = shortPath.right(qMax<qsizetype>(0, shortPath.size() - rootShort.size()));
    // A name the user chose not to change: the device could not open it.
    if (!IndexRecords::isIbm850(path)) {
        qWarning() << "[Index::addFileToIndex] WARNING: characters outside IBM 850, file not "
                      "indexed:"
                   << longPath;
        emit errorFromIndex(tr("File non importato, caratteri non ammessi nel nome: ") + longPath);
        return false;
    }
    // Paths are stored in 46 bytes with their terminating zero.
    if (path.size() >= IndexRecords::PathFieldSize) {
        qWarning() << "[Index::addFileToIndex] WARNING: path too long, file not indexed:"
                   << longPath;
        emit errorFromIndex(tr("File non importato, path troppo lungo: ") + longPath);
        return false;
    }

    SongInfoIndex entry;
    entry.longPath = longPath;
    entry.path = path;
    entry.id = m_nextId;
    entry.posidx = m_nextPosidx;

    const auto at = std::upper_bound(m_songs.begin(), m_songs.end(), entry, compareByPath);
    if (!m_songs.isEmpty()) {
        const SongInfoIndex &before = at == m_songs.begin() ? *at : *(at - 1);
        if (QString::compare(before.path, path, Qt::CaseInsensitive) == 0)
            return true;
    }
    fileStatus(longPath, entry.date, entry.time);
    m_songs.insert(at, entry);
    ++m_nextPosidx;
    ++m_nextId;
    m_indexChanged = true;
    return true;
}
