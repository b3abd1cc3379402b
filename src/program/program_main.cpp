// Process entry of brumix.exe.
#include "startup.h"

int main() {
  ProgramBody();
}
