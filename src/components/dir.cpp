#include "dir.h"

#include <windows.h>

#include <string>

void TKVDir::doChDir(TData& data, uint16_t) {
  const std::string path = ReadString(data, DirLink, {});
  // A failure changes nothing and is not reported: the chain goes on regardless.
  SetCurrentDirectoryA(path.c_str());
  TailNull(data, onChDir);
}

// A failed GetTempPathA gives an empty text, never a lone "\": that would
// send the %temp% cleaning to the root of the current drive.
void TKVDir::TempPath(TData& data, uint16_t) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(sizeof buffer, buffer);
  std::string path;
  if (length > 0 && length < sizeof buffer) path = buffer;
  if (!path.empty() && path.back() != '\\') path += '\\';
  SetString(data, path);
}
