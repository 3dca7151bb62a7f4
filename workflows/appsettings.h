#pragma once

#include <QLatin1String>

// The settings store every component opens on its own (native backend of the
// platform), and the keys the program shares.
namespace AppSettings
{

inline constexpr QLatin1String organisation("zevio");
inline constexpr QLatin1String application("quenor_pc");

// "it", "en" or "de"; "--" at start-up means no language was ever chosen.
inline constexpr QLatin1String languageKey("language");
inline constexpr QLatin1String noLanguage("--");
// Honoured at the next start only.
inline constexpr QLatin1String logEnabledKey("logenabled");
inline constexpr QLatin1String logClearKey("logclear");
// Ask before touching files not published by the maker (default true).
inline constexpr QLatin1String copyrightAskKey("copyrightAsk");
// Folder of the device memory last used by the index tools.
inline constexpr QLatin1String mediaRootKey("mediaroot");

} // namespace AppSettings
