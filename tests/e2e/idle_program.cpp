// Waits until it is ended, doing nothing. Copied under a browser's image name
// ("chrome.exe") it is, to the cleaner, that browser running.
#include <windows.h>

int main() {
  Sleep(INFINITE);
}
