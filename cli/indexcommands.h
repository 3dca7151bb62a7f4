#pragma once

#include <QString>
#include <QStringList>

// The device memory commands: "index build|update|list|check ROOT".
namespace IndexCommands
{

int run(const QStringList &arguments);

// The memory root to work on: ROOT as given, or the root of the removable
// volume it lies on. Empty (with the error reported) when ROOT is no folder.
QString memoryRoot(const QString &command, const QString &path);

} // namespace IndexCommands
