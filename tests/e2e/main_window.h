// The main window of brumix.exe as the long-running black-box tests see it:
// its buttons, lamps and status bar, found by caption and class, and the
// folders its cleaning buttons work on.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "window_probe.h"

namespace main_window {

inline constexpr char kTitle[] = "Brumix 1.2";
inline constexpr char kWaiting[] = "Ожидаю нажатия кнопки....";
inline constexpr char kCleaned[] = "Мусор вычищен нах!";
inline constexpr char kCountCaption[] = "Подсчитать количество мусора";
inline constexpr char kAbout[] = "Об авторе";
inline constexpr char kExit[] = "Выход";
inline constexpr COLORREF kLampOff = RGB(0, 128, 128);
inline constexpr COLORREF kLampOn = RGB(0, 255, 0);
inline constexpr int kRows = 8;

// The cleaning buttons from top to bottom, each with its target's name in
// the test's target tree.
struct Row {
  const char* caption;
  const char* target;
};
inline constexpr std::array<Row, kRows> kCleaners = {{
    {"Удалить кэш IE", "ie"},
    {"Удалить %temp%", "temp"},
    {"Удалить кэш Google Chrome", "chrome"},
    {"Удалить кэш Firefox", "firefox"},
    {"Удалить кэш Яндекс.Браузера", "yandex"},
    {"Удалить кэш Vivaldi", "vivaldi"},
    {"Удалить кэш Opera 12", "opera12"},
    {"Удалить кэш Opera 20 и выше", "opera20"},
}};
// Firefox's cleaning deletes folders only.
inline constexpr int kFirefox = 3;

std::string CountText(long long megabytes);

struct MainWindow {
  HWND form = nullptr;
  std::array<HWND, kRows> cleaners{};
  // Top to bottom, one beside each cleaning button.
  std::vector<HWND> lamps;
  HWND count = nullptr, about = nullptr, exit = nullptr, bar = nullptr;

  // Finds every control of the form; false when one is missing.
  bool Find(HWND mainForm);
  [[nodiscard]] COLORREF Lamp(int row) const { return PixelAtCentre(lamps[row]); }
};

}  // namespace main_window
