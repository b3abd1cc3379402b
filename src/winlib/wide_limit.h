// The fixed UTF-16 fields and buffers of Windows (a class name, a face name, a
// text buffer) hold so many units; what is cut to fit never ends in half a pair.
#pragma once

#include <cstddef>
#include <string_view>

// At most units UTF-16 units of text, one fewer when the last one kept would
// be the first half of a surrogate pair (a character of two units).
[[nodiscard]] inline std::wstring_view CutToUnits(std::wstring_view text, size_t units) {
  size_t kept = text.size() < units ? text.size() : units;
  if (kept > 0 && text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF) --kept;
  return text.substr(0, kept);
}
