#pragma once

#include <QStringList>

// "transfer FILE... --to FOLDER [--overwrite ask|yes|no]": the songs copied
// onto a Quenor memory, then its index brought up to date.
namespace TransferCommand
{

int run(const QStringList &arguments);

} // namespace TransferCommand
