// TIniFile: integer values of one section of a private INI file, read or
// written through the system's profile calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "obj.h"

class TIniFile : public TObj {
 public:
  // Write mode: stores value under key and answers it. Read mode: answers the
  // stored value, or value when the file, section or key is missing.
  int32_t ValueInteger(const std::string& key, int32_t value);

  bool WriteMode = false;
  std::string FileName;
  std::string Section;

 protected:
  ~TIniFile() override = default;
};

// Read mode, empty section.
TIniFile* OpenIniFile(std::string_view fileName);
