// Whether a program runs, known by the name of its image ("chrome.exe"):
// a browser's cache is left alone while the browser has it open.
#pragma once

#include <string_view>

// True when any process of this session or another runs from an image of
// that name, letter case aside. False when the system cannot list them.
[[nodiscard]] bool IsProgramRunning(std::string_view imageName);
