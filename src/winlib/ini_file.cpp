#include "ini_file.h"

#include <windows.h>

#include "text_conv.h"

TIniFile* OpenIniFile(std::string_view fileName) {
  auto* ini = new TIniFile;
  ini->FileName = fileName;
  return ini;
}

int32_t TIniFile::ValueInteger(const std::string& key, int32_t value) {
  // The profile calls look for a name without a folder in the Windows
  // folder; an empty name is no file of ours, so nothing is read or written.
  if (FileName.empty()) return value;
  const std::wstring section = ToWstr(Section);
  const std::wstring name = ToWstr(key);
  const std::wstring file = ToWstr(FileName);
  if (WriteMode) {
    // std::to_wstring would bring in the wide printf, some 20 KB of the program.
    WritePrivateProfileStringW(section.c_str(), name.c_str(), ToWstr(std::to_string(value)).c_str(),
                               file.c_str());
    return value;
  }
  return static_cast<int32_t>(
      GetPrivateProfileIntW(section.c_str(), name.c_str(), value, file.c_str()));
}
