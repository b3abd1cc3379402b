// TBitmap: a compatible bitmap, or a device-independent bitmap kept as header
// plus bits whose DIB section is made only when a handle is needed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "canvas.h"
#include "obj.h"

// PixelAt's answer when there is no pixel, and "no transparent colour".
constexpr uint32_t kNoColor = 0x1FFFFFFF;

class TBitmap;
using TBitmapProc = void (*)(TBitmap* bitmap);

class TBitmap : public TObj {
 public:
  [[nodiscard]] bool Empty() const { return Width == 0 || Height == 0; }
  // None when empty; for a DIB the section is made here (0 when that fails,
  // and the bits stay drawable through StretchDIBits).
  [[nodiscard]] HBITMAP GetBitmapHandle();
  // kNoColor when empty or when no handle can be made.
  [[nodiscard]] uint32_t PixelAt(int32_t x, int32_t y);
  void Draw(HDC dc, int32_t x, int32_t y);
  // Back to empty: the canvas, handle, bits and header go.
  void Clear();
  // Makes this a DIB holding copies of header (a BITMAPINFO of headerSize bytes,
  // colour table included) and bits. False, and empty, when the header or the
  // size of the bits does not fit the DIB rules.
  bool AssignDIB(const BITMAPINFO* header, size_t headerSize, const void* bits, size_t bitsSize);
  // A canvas drawing on the bitmap through a memory DC, made on first use; it
  // lets the bitmap go before pixels are read or the bitmap is drawn.
  TCanvas* GetCanvas();

  int32_t Height = 0;
  int32_t Width = 0;
  HBITMAP BitmapHandle = nullptr;
  TCanvas* Canvas = nullptr;
  TBitmapProc BeforeUse = nullptr;
  BITMAPINFO* Header = nullptr;
  void* Bits = nullptr;
  uint32_t BitsSize = 0;
  bool BitsInSection = false;
  uint32_t TransparentColor = kNoColor;
  TObj* Aux = nullptr;

 protected:
  ~TBitmap() override;

 private:
  void FreeBits();
};

// A compatible bitmap of the screen when both sizes are non-zero, else empty.
[[nodiscard]] TBitmap* NewBitmap(int32_t width, int32_t height);
// A bottom-up DIB of 24 or 32 bits per pixel with zeroed bits, no handle yet;
// none for a size or depth it cannot hold.
[[nodiscard]] TBitmap* NewDIBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel);
