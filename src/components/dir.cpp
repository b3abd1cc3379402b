#include "dir.h"

#include <windows.h>

#include <string>

void TKVDir::doChDir(TData& data, uint16_t) {
  const std::string path = ReadString(data, DirLink, {});
  // A failure changes nothing and is not reported: the chain goes on regardless.
  SetCurrentDirectoryA(path.c_str());
  TailNull(data, onChDir);
}

namespace {

std::string EnvironmentValue(const char* name) {
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0) return {};
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

}  // namespace

// The variable GetTempPath reads, TMP and then TEMP, as it was set: the call
// itself would turn a relative value into a folder below the current one,
// and with both unset it answers the user's profile or the Windows folder,
// which a cleaner must never take for its temporary folder: with both unset
// or empty the text is empty. Whether the folder is safe to empty is the
// cleaner's to judge.
void TKVDir::TempPath(TData& data, uint16_t) {
  std::string path = EnvironmentValue("TMP");
  if (path.empty()) path = EnvironmentValue("TEMP");
  if (!path.empty() && path.back() != '\\') path += '\\';
  SetString(data, path);
}
