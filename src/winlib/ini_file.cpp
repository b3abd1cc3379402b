#include "ini_file.h"

#include <windows.h>

TIniFile* OpenIniFile(std::string_view fileName) {
  auto* ini = new TIniFile;
  ini->FileName = fileName;
  return ini;
}

int32_t TIniFile::ValueInteger(const std::string& key, int32_t value) {
  // The profile calls look for a name without a folder in the Windows
  // folder; an empty name is no file of ours, so nothing is read or written.
  if (FileName.empty()) return value;
  if (WriteMode) {
    WritePrivateProfileStringA(Section.c_str(), key.c_str(), std::to_string(value).c_str(),
                               FileName.c_str());
    return value;
  }
  return static_cast<int32_t>(
      GetPrivateProfileIntA(Section.c_str(), key.c_str(), value, FileName.c_str()));
}
