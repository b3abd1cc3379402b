#include "window_probe.h"

#include <commctrl.h>

#include <vector>

#include "text_conv.h"

namespace {

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return input;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// Absolute mouse coordinates run from 0 to 65535 across the primary screen.
LONG Normalised(LONG pixel, int screenSize) {
  return static_cast<LONG>((pixel * 65536 + screenSize - 1) / screenSize);
}

// The status bar's messages take a buffer in the address space of the
// process that owns it.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, SIZE_T size)
      : process_(process),
        size_(size),
        address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  [[nodiscard]] LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
  // The UTF-16 text the other process wrote there, as UTF-8.
  [[nodiscard]] std::string ReadText() const {
    std::vector<wchar_t> text(size_ / sizeof(wchar_t) + 1, L'\0');
    SIZE_T read = 0;
    if (!address_ || !ReadProcessMemory(process_, address_, text.data(), size_, &read)) return {};
    return ToUtf8(text.data());
  }

 private:
  HANDLE process_;
  SIZE_T size_;
  void* address_;
};

}  // namespace

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

POINT Centre(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return Eventually([&] { return GetForegroundWindow() == window; });
}

// Under Wine a button event that follows an absolute move at once may still
// land where the pointer was: each event carries the position, and the press
// waits until the pointer is seen there.
void ClickAt(POINT screenPoint) {
  const LONG x = Normalised(screenPoint.x, GetSystemMetrics(SM_CXSCREEN));
  const LONG y = Normalised(screenPoint.y, GetSystemMetrics(SM_CYSCREEN));
  constexpr DWORD kAt = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  INPUT move = MouseInput(kAt, x, y);
  SendInput(1, &move, sizeof(INPUT));
  Eventually([&] {
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor.x == screenPoint.x && cursor.y == screenPoint.y;
  });
  INPUT press[] = {MouseInput(kAt | MOUSEEVENTF_LEFTDOWN, x, y),
                   MouseInput(kAt | MOUSEEVENTF_LEFTUP, x, y)};
  SendInput(2, press, sizeof(INPUT));
}

void ClickCentre(HWND window) {
  ClickAt(Centre(window));
}

void ClickButton(HWND button) {
  SendMessageA(button, BM_CLICK, 0, 0);
}

bool PressWithin(HWND button, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool Answers(HWND window, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys)
    inputs.push_back(KeyInput(key, false));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
    inputs.push_back(KeyInput(*key, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusOf(HWND anyWindowOfThread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info)) {
    return nullptr;
  }
  return info.hwndFocus;
}

bool FindCloseBox(HWND window, POINT* point) {
  RECT frame{};
  GetWindowRect(window, &frame);
  const int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  int right = 0;
  for (int x = frame.right - 1; x > frame.left; --x) {
    const bool close = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE;
    if (close && !right) right = x;
    if (!close && right) {
      *point = {(x + 1 + right) / 2, y};
      return true;
    }
  }
  return false;
}

// A DC of another process's window reads nothing under Wine; the screen's
// DC shows what is drawn there, so the window must not be covered.
COLORREF PixelAt(HWND window, POINT clientPoint) {
  ClientToScreen(window, &clientPoint);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, clientPoint.x, clientPoint.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

COLORREF PixelAtCentre(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return PixelAt(window, {client.right / 2, client.bottom / 2});
}

std::vector<COLORREF> ScreenPixels(const RECT& screenRect) {
  std::vector<COLORREF> pixels;
  HDC screen = GetDC(nullptr);
  for (int y = screenRect.top; y < screenRect.bottom; ++y) {
    for (int x = screenRect.left; x < screenRect.right; ++x)
      pixels.push_back(GetPixel(screen, x, y));
  }
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Wine's status bar answers SB_GETTEXT for any part with its simple-mode text
// while in simple mode, and with nothing for the simple-mode index 255.
StatusView ReadStatusBar(HANDLE process, HWND bar) {
  StatusView view;
  view.simple = SendMessageA(bar, SB_ISSIMPLE, 0, 0) != 0;
  const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, 0, 0));
  RemoteBuffer buffer(process, (length + 1) * sizeof(wchar_t));
  SendMessageW(bar, SB_GETTEXTW, 0, buffer.Address());
  view.text = buffer.ReadText();
  return view;
}

std::string MessageBoxText(HWND box) {
  constexpr int kMessageTextId = 0xFFFF;
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, kMessageTextId, text, 2048);
  return ToUtf8(text);
}
