// The least a Win32 program does to come up: register a class, make one
// Unicode window, as the cleaner's are, show it and serve its messages. The start-up benchmark's
// floor.
//   bare_window [--controls] [LIBRARY...]
// loads the libraries first, to see what a library costs; --controls also
// makes the child windows the cleaner's window holds, the same classes and
// styles with one shared font, in a window of the cleaner's form's styles, to
// see what Wine charges for the windows alone.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

namespace {

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

struct Child {
  const wchar_t* windowClass;
  DWORD style;
  int count;
};

// Nine flat owner-drawn buttons and two push buttons, a title and eight
// lamps, and a status bar without a grip; each clips its siblings and is a
// control parent, as the cleaner's controls are.
constexpr Child kChildren[] = {
    {L"BUTTON", 0x5601800B, 9},
    {L"BUTTON", 0x56813000, 2},
    {L"STATIC", 0x5600018C, 9},
    {STATUSCLASSNAMEW, 0x56000003, 1},
};
constexpr DWORD kChildExStyle = WS_EX_CONTROLPARENT;
// The cleaner's form: a single border, no maximise box, and clipping around
// its children, which makes Wine erase them while the window is shown.
constexpr DWORD kFormStyle = 0x06CA0000;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

void MakeChildren(HWND window, HINSTANCE instance) {
  // Through the loaded library, so that the plain run does not import it.
  using InitControls = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const FARPROC found = GetProcAddress(LoadLibraryW(L"comctl32.dll"), "InitCommonControlsEx");
  const auto init = reinterpret_cast<InitControls>(reinterpret_cast<void*>(found));
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
  if (init) init(&classes);
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  int top = 10;
  for (const Child& child : kChildren) {
    for (int i = 0; i < child.count; ++i, top += 15) {
      HWND control = CreateWindowExW(kChildExStyle, child.windowClass, L"child", child.style, 10,
                                     top, 240, 20, window, nullptr, instance, nullptr);
      SendMessageW(control, WM_SETFONT, font, TRUE);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool withChildren = argc > 1 && std::strcmp(argv[1], "--controls") == 0;
  for (int i = withChildren ? 2 : 1; i < argc; ++i)
    LoadLibraryA(argv[i]);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = BareProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"BareWindow";
  if (!RegisterClassW(&windowClass)) return 1;
  // The size of the cleaner's window.
  HWND window = CreateWindowExW(withChildren ? kFormExStyle : 0, L"BareWindow", L"bare window",
                                withChildren ? kFormStyle : WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 307, 376, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  if (withChildren) MakeChildren(window, instance);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
