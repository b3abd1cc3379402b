// Which folders a cleaner may empty. Only a folder that is plainly a cache or
// a temporary folder: never a drive or share root, never a system or user
// folder nor a folder that holds one, and nothing inside Windows (its Temp
// aside), Program Files or ProgramData, whatever the environment or the
// registry point the cleaner at.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The folders the rule guards, each absolute, long and without a trailing "\".
struct GuardedFolders {
  // Never emptied, and neither is any folder that holds one of them.
  std::vector<std::wstring> kept;
  // Nothing inside them is emptied either...
  std::vector<std::wstring> sealed;
  // ...but for these folders and what they hold.
  std::vector<std::wstring> unsealed;
};

// "X:\step..." or "\\server\share\step...": at least one step below the root,
// no empty, "." or ".." step, no "/", and no trailing "\".
[[nodiscard]] bool IsPlainAbsolute(std::wstring_view path);
// Whether path is folder itself or lies below it, letter case aside.
[[nodiscard]] bool IsSameOrBelow(std::wstring_view path, std::wstring_view folder);
// The rule itself, on a path already absolute, normalised and long.
[[nodiscard]] bool IsSafeFolder(std::wstring_view folder, const GuardedFolders& guarded);
// Whether the path is a root, a kept folder or a folder that holds one.
[[nodiscard]] bool HoldsKeptFolder(std::wstring_view path, const GuardedFolders& guarded);

enum class TargetVerdict { kSafe, kMissing, kUnsafe };

// What the system says of a folder a cleaner was handed (UTF-8 text, with or
// without a trailing "\"): kSafe when the text is a plain absolute path that
// the system gives back unchanged and the folder, as given and as it finally
// resolves (links followed), passes the rule; kMissing when there is no such
// folder; kUnsafe otherwise, an empty text included.
[[nodiscard]] TargetVerdict JudgeCleaningTarget(const std::string& folder);

// A deleter's own guard: true when the path resolves to a root, a kept folder
// or a folder that holds one, or cannot be resolved at all.
[[nodiscard]] bool IsGuardedFolder(const std::string& path);

// The guarded folders of this system and user, asked of the system once.
[[nodiscard]] const GuardedFolders& SystemGuardedFolders();
