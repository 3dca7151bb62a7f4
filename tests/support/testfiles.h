#pragma once

// Small readers the workflow, window and command-line tests share.

#include "metasong.h"
#include "songinfo.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// The whole file, or "missing" when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

// title|artist|genre|author|length|bpm|key as the song file holds them, or
// "unreadable".
inline QString songFields(const QString &path)
{
    MetaSong song;
    SongInfo info;
    if (!song.importFile(path))
        return QStringLiteral("unreadable");
    song.getSongInfo(info);
    return QStringList { info.title, info.artist, info.genre, info.author,
        QString::number(info.length), QString::number(info.userBpm), info.key }
        .join(QLatin1Char('|'));
}
