// TFontRec: the font of a window component as the scheme writes it, turned
// into a GDI font only by whoever draws with it.
#pragma once

#include <cstdint>
#include <string>

struct TFontRec {
  std::string Name;    // the face name; GDI keeps at most 31 characters of it
  uint8_t Size = 0;    // points
  uint8_t Style = 0;   // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut
  uint32_t Color = 0;  // a system colour when the top bit is set
  uint8_t CharSet = 0;
};
