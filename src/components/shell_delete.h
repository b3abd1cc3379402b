// The recycle bin's way of deleting, for a deleter that allows undo: the
// shell's own file operation, handed only what it can delete safely.
#pragma once

#include <cstdint>
#include <string>

// Hands path (a file or a folder, no wildcard) to SHFileOperationW with the
// flag word; true when the shell deleted it all. Refused, and false, when the
// shell could reach through a link from there or mis-name a long path, or
// when it is a guarded folder.
[[nodiscard]] bool ShellDelete(const std::wstring& path, uint16_t flags);
