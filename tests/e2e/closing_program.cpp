// A small program for the closing tests: a main form with one button, started
// and served as the cleaner is. Its components write what reaches them, a line
// each, to the file named by the argument: the form's KeepOpen and onClose,
// and what the windows report while they go.
#include <windows.h>

#include <iterator>
#include <string>

#include "app.h"
#include "buttons.h"
#include "event.h"
#include "hint_manager.h"
#include "library_unit.h"
#include "main_form.h"
#include "process_exit.h"
#include "runtime_unit.h"
#include "start_list.h"
#include "units.h"

namespace {

void CommonControlsInit() {
  InitCommonControlsFor(0xFF);
  HintManagerUnitInit();
}

constexpr TUnitEntry kUnits[] = {
    {RuntimeInitialization, nullptr},
    {CommonControlsInit, HintManagerUnitFinish},
    {WindowLibraryInit, WindowLibraryFinish},
};

constexpr const char* kNotes[] = {"close", "form deactivated", "button lost focus"};

class TJournal : public TKVComponent {
 public:
  explicit TJournal(const char* path)
      : file_(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                          nullptr)) {}
  ~TJournal() override { CloseHandle(file_); }

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
  InitUnits(kUnits, static_cast<int>(std::size(kUnits)));
  auto* journal = new TJournal(argc > 1 ? argv[1] : "NUL");
  auto* form = new TKVMainForm(nullptr);
  form->Width = 240;
  form->Height = 160;
  form->Visible = true;
  form->SetCaption("Closing");
  form->KeepOpen = Link<&TJournal::KeepOpen>(journal, 0);
  form->onClose = Link<&TJournal::doNote>(journal, 0);
  form->onDeactivate = Link<&TJournal::doNote>(journal, 1);
  form->Init();
  auto* button = new TKVButton(form->Control);
  button->Caption = "Button";
  button->Width = 100;
  button->Height = 24;
  button->onKillFocus = Link<&TJournal::doNote>(journal, 2);
  button->Init();

  MainWindowControl->SetVisible(true);
  LoopEndHook = SetHooksIdle;
  SetHooksWorking();
  RunStartList();
  RunLoop(MainWindowControl);
  SetHooksIdle();
  delete button;
  delete form;
  delete journal;
  EndProcess(0);
}
