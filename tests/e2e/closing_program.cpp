// A small program for the closing tests: a main form with one button, served
// as the cleaner is. Its components write what reaches them, a line each, to
// the file named by the argument.
#include <windows.h>

#include <string>

#include "app.h"
#include "buttons.h"
#include "main_form.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "start_list.h"
#include "units.h"

namespace {

constexpr TUnitEntry kUnits[] = {{RuntimeInitialization, nullptr}};
constexpr const char* kNotes[] = {"close", "form deactivated", "button lost focus"};

class TJournal : public TKVComponent {
 public:
  explicit TJournal(const char* path)
      : file_(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                          nullptr)) {}
  void doNote(TData&, uint16_t index) { Write(kNotes[index]); }
  // Answers KeepOpen: the window may close.
  void KeepOpen(TData& data, uint16_t) {
    Write("keep open?");
    SetInteger(data, 0);
  }

 private:
  void Write(const std::string& word) {
    const std::string line = word + "\n";
    DWORD written = 0;
    WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  HANDLE file_;
};

}  // namespace

int main(int argc, char** argv) {
  InitUnits(kUnits, 1);
  auto* journal = new TJournal(argc > 1 ? argv[1] : "NUL");
  auto* form = new TKVMainForm(nullptr);
  form->Width = 240;
  form->Height = 160;
  form->SetCaption("Closing");
  form->KeepOpen = Link<&TJournal::KeepOpen>(journal, 0);
  form->onClose = Link<&TJournal::doNote>(journal, 0);
  form->onDeactivate = Link<&TJournal::doNote>(journal, 1);
  form->Init();
  auto* button = new TKVButton(form->Control);
  button->onKillFocus = Link<&TJournal::doNote>(journal, 2);
  button->Init();

  MainWindowControl->SetVisible(true);
  LoopEndHook = SetHooksIdle;
  SetHooksWorking();
  RunStartList();
  RunLoop(MainWindowControl);
  EndProcess(0);
}
