#pragma once

#include <QString>
#include <QStringList>

// Where removable volumes (the Quenor's Compact Flash card or USB pen) are
// mounted. macOS mounts them under /Volumes/, Linux desktops under
// /media/USER/ and /run/media/USER/. The environment variable QUENOR_VOLUMES
// (a list separated by ':') replaces the list, so tests can use a temporary
// folder as the place where memories appear.
namespace RemovableVolumes
{

// Mount prefixes, each ending in '/'.
QStringList mountPrefixes();

// The folder to open a chooser in: the first existing prefix, or the first one.
QString defaultFolder();

// The prefix that path lies below (letter case ignored), with at least one
// more character after it; empty when path is on the computer's own disk.
QString prefixOf(const QString &path);

// True unless path lies below one of the mount prefixes.
bool isSystemDisk(const QString &path);

// The memory root of path: its mount prefix plus the next path component
// (for example /Volumes/USBPEN for /Volumes/USBPEN/songs/pop). Empty when
// path is not on a removable volume.
QString volumeRoot(const QString &path);

} // namespace RemovableVolumes
