#include "bitmap.h"

#include <cstdlib>
#include <cstring>

namespace {

// DIBs beyond this are refused rather than half allocated.
constexpr uint64_t kMaxBitsSize = 256u << 20;

// A memory DC compatible with the screen, with a bitmap selected for its life.
class TMemoryDC {
 public:
  explicit TMemoryDC(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = SelectObject(dc_, bitmap);
  }
  ~TMemoryDC() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  // 0 unless the bitmap is selected.
  [[nodiscard]] HDC Get() const { return old_ ? dc_ : nullptr; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

uint32_t ColorTableSize(const BITMAPINFOHEADER& info) {
  uint32_t entries = info.biClrUsed;
  if (entries == 0 && info.biBitCount <= 8) entries = 1u << info.biBitCount;
  // No real palette has more than 256 entries; a bigger count must not wrap
  // the size round to a small one that passes the length check.
  if (entries > 256) return UINT32_MAX;
  uint32_t size = entries * sizeof(RGBQUAD);
  // The three masks follow a plain header; the later headers hold them inside.
  if (info.biCompression == BI_BITFIELDS && info.biSize == sizeof(BITMAPINFOHEADER)) {
    size += 3 * sizeof(DWORD);
  }
  return size;
}

bool ValidDepth(WORD bitCount) {
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      return true;
    default:
      return false;
  }
}

// The bytes the bits of this header take, 0 when the header is not usable.
uint64_t DIBBitsSize(const BITMAPINFOHEADER& info) {
  if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN) return 0;
  if (!ValidDepth(info.biBitCount) || info.biPlanes != 1) return 0;
  if (info.biCompression != BI_RGB && info.biCompression != BI_BITFIELDS) return 0;
  const uint64_t stride = (static_cast<uint64_t>(info.biWidth) * info.biBitCount + 31) / 32 * 4;
  const uint64_t height = info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight;
  const uint64_t size = stride * height;
  return size <= kMaxBitsSize ? size : 0;
}

HDC BitmapCanvasDC(void* data, TCanvas* canvas) {
  if (canvas->DC) return canvas->DC;
  HBITMAP handle = static_cast<TBitmap*>(data)->GetBitmapHandle();
  if (!handle) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc && !SelectObject(dc, handle)) {
    DeleteDC(dc);
    return nullptr;
  }
  return dc;
}

// A bitmap is selected into one DC at a time, so the canvas's memory DC
// (deleted on detach) lets it go before the bitmap is read or drawn.
void LetCanvasGo(TBitmap* bitmap) {
  if (bitmap->Canvas) bitmap->Canvas->SetDC(nullptr);
}

}  // namespace

TBitmap* NewBitmap(int32_t width, int32_t height) {
  auto* bitmap = new TBitmap;
  bitmap->Width = width;
  bitmap->Height = height;
  if (width != 0 && height != 0) {
    HDC screen = GetDC(nullptr);
    bitmap->BitmapHandle = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
  }
  return bitmap;
}

TBitmap* NewDIBitmap(int32_t width, int32_t height, uint16_t bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) return nullptr;
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = bitsPerPixel;
  header.bmiHeader.biCompression = BI_RGB;
  auto* bitmap = new TBitmap;
  if (height <= 0 || !bitmap->AssignDIB(&header, sizeof header.bmiHeader, nullptr, 0)) {
    bitmap->Free();
    return nullptr;
  }
  return bitmap;
}

TBitmap::~TBitmap() {
  Clear();
}

void TBitmap::FreeBits() {
  if (!BitsInSection) std::free(Bits);
  Bits = nullptr;
  BitsSize = 0;
  BitsInSection = false;
  std::free(Header);
  Header = nullptr;
}

void TBitmap::Clear() {
  if (Canvas) {
    Canvas->Free();
    Canvas = nullptr;
  }
  if (BitmapHandle) {
    DeleteObject(BitmapHandle);
    BitmapHandle = nullptr;
  }
  FreeBits();
  TransparentColor = kNoColor;
  if (Aux) {
    Aux->Free();
    Aux = nullptr;
  }
  Width = 0;
  Height = 0;
}

bool TBitmap::AssignDIB(const BITMAPINFO* header, size_t headerSize, const void* bits,
                        size_t bitsSize) {
  Clear();
  if (!header || headerSize < sizeof(BITMAPINFOHEADER)) return false;
  const BITMAPINFOHEADER& info = header->bmiHeader;
  if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biSize > headerSize) return false;
  const uint64_t fullHeader = static_cast<uint64_t>(info.biSize) + ColorTableSize(info);
  const uint64_t size = DIBBitsSize(info);
  if (size == 0 || fullHeader > headerSize || (bits && bitsSize < size)) return false;

  Header = static_cast<BITMAPINFO*>(std::calloc(1, fullHeader));
  Bits = std::calloc(1, size);
  if (!Header || !Bits) {
    FreeBits();
    return false;
  }
  std::memcpy(Header, header, fullHeader);
  if (bits) std::memcpy(Bits, bits, size);
  BitsSize = static_cast<uint32_t>(size);
  Width = info.biWidth;
  Height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
  return true;
}

HBITMAP TBitmap::GetBitmapHandle() {
  if (Empty()) return nullptr;
  if (BitmapHandle) return BitmapHandle;
  if (!Bits || !Header) return nullptr;
  HDC screen = GetDC(nullptr);
  void* sectionBits = nullptr;
  HBITMAP section = CreateDIBSection(screen, Header, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!section || !sectionBits) {
    // The bits stay where they are and keep drawing through StretchDIBits.
    if (section) DeleteObject(section);
    return nullptr;
  }
  std::memcpy(sectionBits, Bits, BitsSize);
  if (!BitsInSection) std::free(Bits);
  Bits = sectionBits;
  BitsInSection = true;
  BitmapHandle = section;
  return section;
}

uint32_t TBitmap::PixelAt(int32_t x, int32_t y) {
  if (Empty()) return kNoColor;
  if (BeforeUse) BeforeUse(this);
  HBITMAP handle = GetBitmapHandle();
  if (!handle) return kNoColor;
  TMemoryDC memory(handle);
  if (!memory.Get()) return kNoColor;
  const COLORREF color = GetPixel(memory.Get(), x, y);
  return color == CLR_INVALID ? kNoColor : color;
}

void TBitmap::Draw(HDC dc, int32_t x, int32_t y) {
  if (Empty()) return;
  if (!BitmapHandle) {
    if (!Bits || !Header) return;
    const LONG height =
        Header->bmiHeader.biHeight < 0 ? -Header->bmiHeader.biHeight : Header->bmiHeader.biHeight;
    const int lines = StretchDIBits(dc, x, y, Width, height, 0, 0, Width, height, Bits, Header,
                                    DIB_RGB_COLORS, SRCCOPY);
    if (lines > 0) return;  // GDI_ERROR is negative as an int
    if (!GetBitmapHandle()) return;
  }
  if (BeforeUse) BeforeUse(this);
  int32_t height = Height;
  if (height == 0) {
    BITMAP info{};
    if (GetObjectW(BitmapHandle, sizeof info, &info)) height = info.bmHeight;
  }
  TMemoryDC memory(BitmapHandle);
  if (!memory.Get()) return;
  BitBlt(dc, x, y, Width, height, memory.Get(), 0, 0, SRCCOPY);
}

TCanvas* TBitmap::GetCanvas() {
  if (!Canvas) {
    Canvas = NewCanvas(nullptr);
    Canvas->GetDCProc = BitmapCanvasDC;
    Canvas->GetDCData = this;
    BeforeUse = LetCanvasGo;
  }
  return Canvas;
}
