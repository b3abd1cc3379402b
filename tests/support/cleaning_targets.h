// The cleaner's eight targets as the tests and the benchmarks lay them out
// below a scratch root: the temporary folder and the "Cache" shell folder
// straight below it, the browsers' caches below its "local" folder, which the
// "Local AppData" shell folder points at. One table for both.
#pragma once

#include <string>
#include <string_view>

// What "Local AppData" points at, below the scratch root.
inline constexpr char kLocalAppDataBelowRoot[] = "local";

struct TargetPlace {
  const char* name;
  const char* folder;  // below the scratch root
  const char* button;  // the caption of the button that empties it
  bool foldersOnly;    // its search reports folders only
  bool filesOnly;      // its deleter asks the shell for FOF_FILESONLY
};

// In the order of the lamps.
inline constexpr TargetPlace kTargetPlaces[] = {
    {"ie", "ie", "Удалить кэш IE", false, false},
    {"temp", "temp", "Удалить %temp%", false, false},
    {"chrome", "local\\Google\\Chrome\\User Data\\Default\\Cache", "Удалить кэш Google Chrome",
     false, false},
    {"firefox", "local\\Mozilla\\Firefox\\Profiles", "Удалить кэш Firefox", true, true},
    {"yandex", "local\\Yandex\\YandexBrowser\\User Data\\Default\\Cache",
     "Удалить кэш Яндекс.Браузера", false, false},
    {"vivaldi", "local\\Vivaldi\\User Data\\Default\\Cache", "Удалить кэш Vivaldi", false, false},
    {"opera12", "local\\Opera\\Opera\\cache", "Удалить кэш Opera 12", false, true},
    {"opera20", "local\\Opera Software\\Opera Stable", "Удалить кэш Opera 20 и выше", false, true},
};

// The folder of the named target below root; empty for a name not in the table.
inline std::string TargetFolderBelow(const std::string& root, std::string_view name) {
  for (const TargetPlace& place : kTargetPlaces) {
    if (name == place.name) return root + "\\" + place.folder;
  }
  return {};
}
