#include "scheme_fixture.h"

#include "control.h"
#include "start_list.h"
#include "text_conv.h"

void SchemeTest::SetUp() {
  // Points the temporary path and the shell folders at a scratch tree.
  tree_ = std::make_unique<TargetTree>();
  scheme_ = std::make_unique<TClassMainForm_25378D0>();
  // The program's start step: links go live and the form shows.
  SetHooksWorking();
  RunStartList();
}

void SchemeTest::TearDown() {
  SetHooksIdle();
  FreeApplication();
  scheme_.reset();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
  }
  tree_.reset();
}

std::string SchemeTest::StatusText() const {
  TControl* bar = scheme_->formMain->Control->StatusBar;
  if (!bar) return {};
  wchar_t text[256] = {};
  SendMessageW(bar->Handle, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  return ToUtf8(text);
}

void SchemeTest::FreeApplication() {
  TControl* app = MainWindowControl;
  MainWindowControl = nullptr;
  if (app) app->Free();
}

void SchemeTest::FillTarget(const std::string& folder) const {
  MakeFolders(folder + "\\sub\\nested");
  MakeFile(folder + "\\a.tmp");
  MakeFile(folder + "\\b.dat");
  MakeFile(folder + "\\c");
  MakeFile(folder + "\\sub\\d.tmp");
  MakeFile(folder + "\\sub\\nested\\e.tmp");
}
