#include "dir.h"

#include <windows.h>

#include <string>

#include "text_conv.h"
#include "win_text.h"

void TKVDir::doChDir(TData& data, uint16_t) {
  const std::string path = ReadString(data, DirLink, {});
  // A failure changes nothing and is not reported: the chain goes on regardless.
  SetCurrentDirectoryW(ToWstr(path).c_str());
  TailNull(data, onChDir);
}

// The variable GetTempPath reads, TMP and then TEMP, as it was set: the call
// itself would turn a relative value into a folder below the current one,
// and with both unset it answers the user's profile or the Windows folder,
// which a cleaner must never take for its temporary folder: with both unset
// or empty the text is empty. Whether the folder is safe to empty is the
// cleaner's to judge.
void TKVDir::TempPath(TData& data, uint16_t) {
  std::wstring path = EnvironmentValue(L"TMP");
  if (path.empty()) path = EnvironmentValue(L"TEMP");
  if (!path.empty() && path.back() != L'\\') path += L'\\';
  SetString(data, ToUtf8(path));
}
