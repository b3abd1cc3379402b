#include "scheme.h"

#include <cstdint>

#include "control_kinds.h"

TClassMainForm_25378D0* SchemeInstance = nullptr;

enum class TBrowser : uint8_t { Chrome, Firefox, Yandex, Vivaldi, Opera12, Opera20 };
// None ends a list of parts.
enum class TBrowserPart : uint8_t { None, Button, Reader, Builder, Search, Deleter, Lamp };

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kCacheValue[] = "Cache";
constexpr char kLocalAppDataValue[] = "Local AppData";
constexpr uint8_t kCurrentUser = 1;
constexpr uint8_t kReadAsText = 1;

constexpr uint8_t kReportFilesAndFolders = 2;
constexpr uint8_t kReportFoldersOnly = 1;

using Scheme = TClassMainForm_25378D0;

// One browser's row of the cleaner: its button with the lamp beside it, and
// the chain from the registry reader through the path builder and the search
// to the deleter, named by the scheme's fields it fills.
struct TBrowserRow {
  TKVBitBtn* Scheme::*button;
  const char* caption;
  int32_t top;  // of the button and of its lamp
  TKVLED* Scheme::*lamp;
  TKVRegistry* Scheme::*reader;
  TKVStrCatDelim* Scheme::*builder;
  const char* subPath;  // below "Local AppData"
  TKVFileSearch* Scheme::*search;
  uint8_t include;
  // Always overridden by the linked folder; the placeholder is never expanded.
  const char* placeholderDir;
  TKVDirTools* Scheme::*deleter;
  const char* ownerProgram;  // the cache is left alone while it runs
  bool filesOnly;
};

// In the order of TBrowser.
constexpr TBrowserRow kBrowserRows[] = {
    {&Scheme::btnDelChrome, "Удалить кэш Google Chrome", 100, &Scheme::ledChrome,
     &Scheme::regChrome, &Scheme::catChrome, "Google\\Chrome\\User Data\\Default\\Cache",
     &Scheme::fsChrome, kReportFilesAndFolders,
     "%LOCALAPPDATA%\\Google\\Chrome\\User Data\\Default\\Cache", &Scheme::dtDelChrome,
     "chrome.exe", false},
    // Firefox: only the profile folders go; files lying beside them stay.
    {&Scheme::btnDelFirefox, "Удалить кэш Firefox", 130, &Scheme::ledFirefox, &Scheme::regFirefox,
     &Scheme::catFirefox, "Mozilla\\Firefox\\Profiles", &Scheme::fsFirefox, kReportFoldersOnly,
     nullptr, &Scheme::dtDelFirefox, "firefox.exe", true},
    {&Scheme::btnDelYandex, "Удалить кэш Яндекс.Браузера", 160, &Scheme::ledYandex,
     &Scheme::regYandex, &Scheme::catYandex, "Yandex\\YandexBrowser\\User Data\\Default\\Cache",
     &Scheme::fsYandex, kReportFilesAndFolders, nullptr, &Scheme::dtDelYandex, "browser.exe",
     false},
    {&Scheme::btnDelVivaldi, "Удалить кэш Vivaldi", 190, &Scheme::ledVivaldi, &Scheme::regVivaldi,
     &Scheme::catVivaldi, "Vivaldi\\User Data\\Default\\Cache", &Scheme::fsVivaldi,
     kReportFilesAndFolders, nullptr, &Scheme::dtDelVivaldi, "vivaldi.exe", false},
    {&Scheme::btnDelOpera12, "Удалить кэш Opera 12", 220, &Scheme::ledOpera12, &Scheme::regOpera12,
     &Scheme::catOpera12, "Opera\\Opera\\cache", &Scheme::fsOpera12, kReportFilesAndFolders,
     nullptr, &Scheme::dtDelOpera12, "opera.exe", true},
    {&Scheme::btnDelOpera20, "Удалить кэш Opera 20 и выше", 250, &Scheme::ledOpera20,
     &Scheme::regOpera20, &Scheme::catOpera20, "Opera Software\\Opera Stable", &Scheme::fsOpera20,
     kReportFilesAndFolders, nullptr, &Scheme::dtDelOpera20, "opera.exe", true},
};

// A browser's parts made one after the other.
struct TBrowserSteps {
  TBrowser browser;
  TBrowserPart parts[6];
};

using enum TBrowser;
using enum TBrowserPart;

// The order the browser rows' components are made in: it is their tab order,
// and the scheme frees them in reverse.
constexpr TBrowserSteps kBrowserOrder[] = {
    {Chrome, {Button, Search, Deleter, Lamp, Reader, Builder}},
    {Firefox, {Button, Reader, Search, Builder, Deleter, Lamp}},
    {Yandex, {Button}},
    {Vivaldi, {Button}},
    {Opera12, {Button}},
    {Opera20, {Button}},
    {Yandex, {Search, Deleter, Reader, Builder, Lamp}},
    {Vivaldi, {Search, Deleter, Reader, Builder, Lamp}},
    {Opera20, {Search, Deleter, Reader, Builder, Lamp}},
    {Opera12, {Search, Deleter, Reader, Builder, Lamp}},
};

// A cleaning target by the scheme's fields that make it up.
struct TTargetFields {
  const char* name;
  TKVBitBtn* Scheme::*button;
  TKVFileSearch* Scheme::*search;
  TKVDirTools* Scheme::*deleter;
};

// The cleaning buttons' tab order is the order they are made in.
constexpr TTargetFields kCleaningTargets[kCleaningTargetCount] = {
    {"кэш IE", &Scheme::btnDelIE, &Scheme::fsIE, &Scheme::dtDelIE},
    {"%temp%", &Scheme::btnDelTemp, &Scheme::fsTemp, &Scheme::dtDelTemp},
    {"кэш Google Chrome", &Scheme::btnDelChrome, &Scheme::fsChrome, &Scheme::dtDelChrome},
    {"кэш Firefox", &Scheme::btnDelFirefox, &Scheme::fsFirefox, &Scheme::dtDelFirefox},
    {"кэш Яндекс.Браузера", &Scheme::btnDelYandex, &Scheme::fsYandex, &Scheme::dtDelYandex},
    {"кэш Vivaldi", &Scheme::btnDelVivaldi, &Scheme::fsVivaldi, &Scheme::dtDelVivaldi},
    {"кэш Opera 12", &Scheme::btnDelOpera12, &Scheme::fsOpera12, &Scheme::dtDelOpera12},
    {"кэш Opera 20 и выше", &Scheme::btnDelOpera20, &Scheme::fsOpera20, &Scheme::dtDelOpera20},
};

const TBrowserRow& RowOf(TBrowser browser) {
  return kBrowserRows[static_cast<size_t>(browser)];
}

const char* SubPath(TBrowser browser) {
  return RowOf(browser).subPath;
}

constexpr double kBytesPerMegabyte = 1048576.0;
constexpr uint8_t kResultAsInteger = 0;
constexpr uint8_t kResultAsReal = 1;

constexpr uint32_t kButtonFace = 0xFF00000F;
constexpr uint32_t kFrameGrey = 0x808080;
constexpr uint8_t kAlignNone = 0;
constexpr uint8_t kFlatWithBorder = 1;
constexpr uint32_t kSingleBorder = 1;

constexpr char kAboutText[] =
    "Brumix 1.2 © Kavex\r\n"
    "Софтина написана сугубо для себя, и может содержать тыщи багов\r\n"
    "\r\n"
    "\r\n"
    "(!) Внимание - закрывайте браузеры во время чистки, иначе будет плохо. \r\n"
    "Сайт: brumix.kavex.ru\r\n"
    "Почта: kavex@brumix.ru";

void ReadShellFolder(TKVRegistry& reader, const char* valueName) {
  reader.RootKey = kCurrentUser;
  reader.Key = kShellFolders;
  reader.ValueName = valueName;
  reader.DataType = kReadAsText;
  reader.SkipMissingKey = 0;
}

void BuildPathBelow(TKVStrCatDelim& builder, const char* subPath) {
  builder.Delimiter = "\\";
  builder.Str2 = subPath;
}

// Walks only a folder that is safe to empty, and a browser's folder only while
// that browser is closed.
void SearchEverything(TKVFileSearch& search, uint8_t include, const char* browser = "") {
  search.Mask = "*";
  search.SearchSubDirs = 0;
  search.FullName = 1;
  search.Include = include;
  search.SafeTargetOnly = 1;
  search.OwnerProgram = browser;
}

// Deletes and measures without asking and without error dialogs, and counts
// nothing of a folder it would not empty.
void WorkQuietly(TKVDirTools& tools, bool filesOnly) {
  tools.NoConfirmation = 1;
  tools.NoErrorUI = 1;
  tools.FilesOnly = filesOnly ? 1 : 0;
  tools.SafeTargetOnly = 1;
}

// The deleters and the measurers say what they are at while a long one runs.
void ShowDeleting(TKVDirTools& deleter) {
  deleter.ProgressText = "Удаляю... удалено: ";
}
void ShowCounting(TKVDirTools& measurer) {
  measurer.ProgressText = "Считаю... просмотрено: ";
}

void Calculate(TKVMath& math, uint8_t resultType, double op2) {
  math.Op1 = 0.0;
  math.Op2 = op2;
  math.ResultType = resultType;
  math.SetDefault(0.0);
  math.SetAngleMode(false);
}

// What every window component of the form has unless its row says otherwise.
void PlaceOnForm(TKVWin& window, int32_t left, int32_t top, int32_t width, int32_t height) {
  window.Left = left;
  window.Top = top;
  window.Width = width;
  window.Height = height;
  window.Align = kAlignNone;
  window.TabOrder = 0;
  window.Color = kButtonFace;
  window.Ctl3D = kFlatWithBorder;
  window.Hint.clear();
  window.Font = {"MS Sans Serif", 8, 0, 0, 1};
  window.ParentFont = false;
  window.Visible = true;
  window.Enabled = true;
  window.Cursor = 0;
  window.EdgeStyle = 0;
  window.ManagerParam1 = 0;
  window.ManagerParam2 = 0;
}

// Caption, border, icon and task-bar button come before Init.
void SetUpMainForm(TKVMainForm& form) {
  form.SetCaption("Brumix 1.2");
  form.SetBorderStyle(kSingleBorder);
  form.SetIcon(LoadProgramIcon("KVXA"));
  form.HideFromTaskbar(false);
  PlaceOnForm(form, 0, 0, 307, 376);
  form.UseClientSize = false;
  form.DragByClient = false;
  form.AlphaBlend = 255;
  form.WindowState = 0;
  form.PlacementStore.clear();
  // Centred at every start: the Left and Top above do not last.
  form.PositionHandler = BindEvent<&TKVMainForm::CenterOnScreen>(&form);
  form.KeyPreview = true;
  form.MouseCapture = false;
  form.DockTarget = nullptr;
  form.DockLeft = 0;
  form.DockTop = 0;
  form.Init();
}

void SetUpTitle(TKVLabel& label) {
  PlaceOnForm(label, 10, 10, 360, 15);
  label.Caption = "Простая чистилка, которой так не хватает";
  // The width follows the text once it is measured.
  label.SetAutoSize(true);
  label.SetAlignment(0);
  label.Transparent = false;
  label.CompanionFactory = nullptr;
  label.CompanionGap = 4;
  label.CompanionColor = kButtonFace;
  label.Init();
}

void SetUpCleaningButton(TKVBitBtn& button, int32_t top, const char* caption,
                         const char* dockGroup) {
  PlaceOnForm(button, 10, top, 240, 20);
  button.Caption = caption;
  button.Flat = true;
  button.FrameColor = kFrameGrey;
  button.HideFrame = false;
  // Read by main forms only: it changes nothing here.
  button.DockGroup = dockGroup;
  button.Init();
}

// Beside the button of its target, unlit.
void SetUpLamp(TKVLED& lamp, int32_t top) {
  PlaceOnForm(lamp, 260, top, 25, 25);
  lamp.ColorOn = 0x00FF00;
  lamp.ColorOff = 0x808000;
  lamp.ColorLight = 0xFFFFFF;
  lamp.Shape = 0;
  lamp.Bevel = true;
  lamp.On = false;
  lamp.Init();
}

// The push buttons keep the colour they took from the form.
void SetUpPushButton(TKVButton& button, int32_t left, int32_t width, const char* caption) {
  const uint32_t color = button.Color;
  PlaceOnForm(button, left, 315, width, 20);
  button.Color = color;
  button.Caption = caption;
  button.Flat = false;
  button.Init();
}

// No parts of its own: the bar shows the caption across its whole width.
void SetUpStatusBar(TKVStatusBar& bar) {
  bar.Visible = true;
  bar.SizeGrip = true;
  bar.Alignment = 0;
  bar.Text = "Ожидаю нажатия кнопки....";
  bar.SetParts("");
  bar.SetStrings("Файлов нет! Это чудесно!\r\nМусор вычищен нах!\r\n");
}

// Says in the same bar why a press deleted nothing, one line per reason a
// search refuses its folder.
void SetUpRefusalTexts(TKVStatusBar& bar) {
  static_assert(kRefusedUnsafeFolder == 0 && kRefusedOwnerRunning == 1);
  bar.SetStrings(
      "Эту папку чистить опасно: не трогаю.\r\n"
      "Закройте браузер и нажмите ещё раз.\r\n");
}

// Registry reader -> path builder -> file search -> deleter.
void JoinBrowserCleaning(TKVRegistry* reader, TKVStrCatDelim* builder, TKVFileSearch* search,
                         TKVDirTools* deleter) {
  reader->onRead = Link<&TKVStrCatDelim::doStrCat>(builder, 0);
  builder->Str1Link = Link<&TKVRegistry::Value>(reader, 0);
  builder->onStrCat = Link<&TKVFileSearch::doSearch>(search, 0);
  search->DirLink = Link<&TKVStrCatDelim::Result>(builder, 0);
  search->onSearch = Link<&TKVDirTools::doDelete>(deleter, 2);
}

// Registry reader -> path builder -> size -> value holder.
void JoinBrowserMeasuring(TKVRegistry* reader, TKVStrCatDelim* builder, TKVDirTools* sizer,
                          TKVEventFromData* holder) {
  reader->onRead = Link<&TKVStrCatDelim::doStrCat>(builder, 0);
  builder->Str1Link = Link<&TKVRegistry::Value>(reader, 0);
  builder->onStrCat = Link<&TKVDirTools::doSize>(sizer, 3);
  sizer->onEnd = Link<&TKVEventFromData::doData>(holder, 0);
}

// One adder of the running sum: the incoming total plus what the holder keeps.
void JoinAdder(TKVMath* adder, TKVEventFromData* holder, const TKV_Event& next) {
  if (holder) adder->Op2Link = Link<&TKVEventFromData::Value>(holder, 0);
  adder->onResult = next;
}

}  // namespace

TClassMainForm_25378D0::TClassMainForm_25378D0() {
  SchemeInstance = this;
  try {
    CreateComponents();
    JoinLinks();
  } catch (...) {
    FreeComponents();
    throw;
  }
}

TClassMainForm_25378D0::~TClassMainForm_25378D0() {
  FreeComponents();
}

void TClassMainForm_25378D0::CreateComponents() {
  SetUpMainForm(*(formMain = Create<TKVMainForm>(nullptr)));
  TControl* form = formMain->Control;
  SetUpTitle(*(lblTitle = Create<TKVLabel>(form)));
  SetUpCleaningButton(*(btnDelIE = Create<TKVBitBtn>(form)), 40, "Удалить кэш IE", "");
  SetUpCleaningButton(*(btnDelTemp = Create<TKVBitBtn>(form)), 70, "Удалить %temp%", "delTemp");
  SearchEverything(*(fsTemp = Create<TKVFileSearch>()), kReportFilesAndFolders);
  WorkQuietly(*(dtDelTemp = Create<TKVDirTools>()), false);
  ShowDeleting(*dtDelTemp);
  SearchEverything(*(fsIE = Create<TKVFileSearch>()), kReportFilesAndFolders, "iexplore.exe");
  // Always overridden by the linked folder; the placeholder is never expanded.
  fsIE->Dir = "%LOCALAPPDATA%\\Microsoft\\Windows\\Temporary Internet Files";
  WorkQuietly(*(dtDelIE = Create<TKVDirTools>()), false);
  ShowDeleting(*dtDelIE);
  SetUpLamp(*(ledIE = Create<TKVLED>(form)), 40);
  SetUpLamp(*(ledTemp = Create<TKVLED>(form)), 70);
  SetUpStatusBar(*(sbStatus = Create<TKVStatusBar>(form)));
  hubDone = Create<TKVHub>();
  hubDone->InCount = 8;
  hubDone->SetOutCount(1);
  SetUpPushButton(*(btnAbout = Create<TKVButton>(form)), 10, 120, "Об авторе");
  SetUpPushButton(*(btnExit = Create<TKVButton>(form)), 135, 115, "Выход");
  msgAbout = Create<TKVMessage>();
  msgAbout->Text = kAboutText;
  dirTemp = Create<TKVDir>();
  ReadShellFolder(*(regIE = Create<TKVRegistry>()), kCacheValue);
  CreateBrowserRows(form);
  SetUpCleaningButton(*(btnCount = Create<TKVBitBtn>(form)), 280, "Подсчитать количество мусора",
                      "delGoogle");

  dirCount = Create<TKVDir>();
  WorkQuietly(*(dtSizeTemp = Create<TKVDirTools>()), true);
  ReadShellFolder(*(regCountIE = Create<TKVRegistry>()), kCacheValue);
  hubCount = Create<TKVHub>();
  hubCount->InCount = 1;
  hubCount->SetOutCount(8);
  efdSizeIE = Create<TKVEventFromData>();
  WorkQuietly(*(dtSizeIE = Create<TKVDirTools>()), false);
  ReadShellFolder(*(regCountChrome = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountChrome = Create<TKVStrCatDelim>()), SubPath(Chrome));
  ReadShellFolder(*(regCountFirefox = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountFirefox = Create<TKVStrCatDelim>()), SubPath(Firefox));
  ReadShellFolder(*(regCountYandex = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountYandex = Create<TKVStrCatDelim>()), SubPath(Yandex));
  ReadShellFolder(*(regCountOpera20 = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountOpera20 = Create<TKVStrCatDelim>()), SubPath(Opera20));
  ReadShellFolder(*(regCountOpera12 = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountOpera12 = Create<TKVStrCatDelim>()), SubPath(Opera12));
  ReadShellFolder(*(regCountVivaldi = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountVivaldi = Create<TKVStrCatDelim>()), SubPath(Vivaldi));
  WorkQuietly(*(dtSizeChrome = Create<TKVDirTools>()), false);
  WorkQuietly(*(dtSizeFirefox = Create<TKVDirTools>()), true);
  WorkQuietly(*(dtSizeYandex = Create<TKVDirTools>()), true);
  WorkQuietly(*(dtSizeOpera20 = Create<TKVDirTools>()), true);
  WorkQuietly(*(dtSizeOpera12 = Create<TKVDirTools>()), false);
  WorkQuietly(*(dtSizeVivaldi = Create<TKVDirTools>()), true);
  for (TKVDirTools* measurer : {dtSizeTemp, dtSizeIE, dtSizeChrome, dtSizeFirefox, dtSizeYandex,
                                dtSizeOpera20, dtSizeOpera12, dtSizeVivaldi}) {
    ShowCounting(*measurer);
  }
  efdSizeChrome = Create<TKVEventFromData>();
  efdSizeFirefox = Create<TKVEventFromData>();
  efdSizeYandex = Create<TKVEventFromData>();
  efdSizeOpera20 = Create<TKVEventFromData>();
  efdSizeOpera12 = Create<TKVEventFromData>();
  efdSizeVivaldi = Create<TKVEventFromData>();
  for (TKVMath** sum :
       {&mathSum1, &mathSum2, &mathSum3, &mathSum4, &mathSum5, &mathSum6, &mathSum7, &mathSum8}) {
    Calculate(*(*sum = Create<TKVMath>()), kResultAsReal, 0.0);
  }
  Calculate(*(mathToMB = Create<TKVMath>()), kResultAsInteger, kBytesPerMegabyte);
  catCountText = Create<TKVStrCatDelim>();
  catCountText->Str1 = "У вас на компьютере ";
  catCountText->Str2 = " мб мусора.";
  // Always overridden by the linked number of megabytes.
  catCountText->Delimiter = "  ";
  SetUpRefusalTexts(*(sbRefusal = Create<TKVStatusBar>(form)));
}

void TClassMainForm_25378D0::CreateBrowserRows(TControl* form) {
  for (const TBrowserSteps& steps : kBrowserOrder) {
    for (TBrowserPart part : steps.parts) {
      if (part == None) break;
      CreateBrowserPart(steps.browser, part, form);
    }
  }
}

void TClassMainForm_25378D0::CreateBrowserPart(TBrowser browser, TBrowserPart part,
                                               TControl* form) {
  const TBrowserRow& row = RowOf(browser);
  switch (part) {
    case Button:
      SetUpCleaningButton(*(this->*row.button = Create<TKVBitBtn>(form)), row.top, row.caption,
                          "delGoogle");
      break;
    case Reader:
      ReadShellFolder(*(this->*row.reader = Create<TKVRegistry>()), kLocalAppDataValue);
      break;
    case Builder:
      BuildPathBelow(*(this->*row.builder = Create<TKVStrCatDelim>()), row.subPath);
      break;
    case Search: {
      TKVFileSearch& search = *(this->*row.search = Create<TKVFileSearch>());
      SearchEverything(search, row.include, row.ownerProgram);
      if (row.placeholderDir) search.Dir = row.placeholderDir;
      break;
    }
    case Deleter:
      WorkQuietly(*(this->*row.deleter = Create<TKVDirTools>()), row.filesOnly);
      ShowDeleting(*(this->*row.deleter));
      break;
    case Lamp:
      SetUpLamp(*(this->*row.lamp = Create<TKVLED>(form)), row.top);
      break;
    case None:
      break;
  }
}

void TClassMainForm_25378D0::JoinLinks() {
  JoinWindowLinks();
  JoinCleaningLinks();
  JoinCountLinks();
  JoinWindowsToManagers();
  // Tab, Shift+Tab, the arrows and Page keys move between the form's controls.
  SetTabNavigation(formMain->Control);
}

// Every link that starts or ends at a window component: the buttons start
// the chains, the deleters light the lamps, the lamps reach the status bar.
void TClassMainForm_25378D0::JoinWindowLinks() {
  btnDelIE->onClick = Link<&TKVRegistry::doRead>(regIE, 0);
  btnDelTemp->onClick = Link<&TKVDir::doChDir>(dirTemp, 1);
  dtDelTemp->onEnd = Link<&TKVLED::doOn>(ledTemp, 2);
  dtDelIE->onEnd = Link<&TKVLED::doOn>(ledIE, 2);
  ledIE->onChange = Link<&TKVHub::doEvent>(hubDone, 1);
  ledTemp->onChange = Link<&TKVHub::doEvent>(hubDone, 0);
  hubDone->onEvent[0] = Link<&TKVStatusBar::doText>(sbStatus, 1);
  btnAbout->onClick = Link<&TKVMessage::doMessage>(msgAbout, 0);
  btnExit->onClick = Link<&TKVMainForm::doClose>(formMain, 3);
  btnDelChrome->onClick = Link<&TKVRegistry::doRead>(regChrome, 0);
  dtDelChrome->onEnd = Link<&TKVLED::doOn>(ledChrome, 2);
  ledChrome->onChange = Link<&TKVHub::doEvent>(hubDone, 2);
  btnDelFirefox->onClick = Link<&TKVRegistry::doRead>(regFirefox, 0);
  dtDelFirefox->onEnd = Link<&TKVLED::doOn>(ledFirefox, 2);
  ledFirefox->onChange = Link<&TKVHub::doEvent>(hubDone, 3);
  btnDelYandex->onClick = Link<&TKVRegistry::doRead>(regYandex, 0);
  btnDelVivaldi->onClick = Link<&TKVRegistry::doRead>(regVivaldi, 0);
  btnDelOpera12->onClick = Link<&TKVRegistry::doRead>(regOpera12, 0);
  btnDelOpera20->onClick = Link<&TKVRegistry::doRead>(regOpera20, 0);
  dtDelYandex->onEnd = Link<&TKVLED::doOn>(ledYandex, 2);
  ledYandex->onChange = Link<&TKVHub::doEvent>(hubDone, 4);
  dtDelVivaldi->onEnd = Link<&TKVLED::doOn>(ledVivaldi, 2);
  ledVivaldi->onChange = Link<&TKVHub::doEvent>(hubDone, 5);
  dtDelOpera20->onEnd = Link<&TKVLED::doOn>(ledOpera20, 2);
  ledOpera20->onChange = Link<&TKVHub::doEvent>(hubDone, 7);
  dtDelOpera12->onEnd = Link<&TKVLED::doOn>(ledOpera12, 2);
  ledOpera12->onChange = Link<&TKVHub::doEvent>(hubDone, 6);
  btnCount->onClick = Link<&TKVHub::doEvent>(hubCount, 0);
  catCountText->onStrCat = Link<&TKVBitBtn::doCaption>(btnCount, 0);
}

// No hint or outside manager in this program: only the hinted components
// would register with the shared hint manager.
void TClassMainForm_25378D0::JoinWindowsToManagers() {
  for (TKVWin* window : windows_) {
    window->JoinHint(nullptr);
    window->JoinManager(nullptr);
    if (window != formMain) continue;
    formMain->JoinFormManager(nullptr);
    formMain->DockTarget = nullptr;
  }
}

void TClassMainForm_25378D0::JoinCleaningLinks() {
  dirTemp->onChDir = Link<&TKVFileSearch::doSearch>(fsTemp, 0);
  fsTemp->DirLink = Link<&TKVDir::TempPath>(dirTemp, 2);
  fsTemp->onSearch = Link<&TKVDirTools::doDelete>(dtDelTemp, 2);

  regIE->onRead = Link<&TKVFileSearch::doSearch>(fsIE, 0);
  fsIE->DirLink = Link<&TKVRegistry::Value>(regIE, 0);
  fsIE->onSearch = Link<&TKVDirTools::doDelete>(dtDelIE, 2);

  JoinBrowserCleaning(regChrome, catChrome, fsChrome, dtDelChrome);
  JoinBrowserCleaning(regFirefox, catFirefox, fsFirefox, dtDelFirefox);
  JoinBrowserCleaning(regYandex, catYandex, fsYandex, dtDelYandex);
  JoinBrowserCleaning(regVivaldi, catVivaldi, fsVivaldi, dtDelVivaldi);
  JoinBrowserCleaning(regOpera20, catOpera20, fsOpera20, dtDelOpera20);
  JoinBrowserCleaning(regOpera12, catOpera12, fsOpera12, dtDelOpera12);

  // A refused folder says why in the status bar instead of lighting its lamp.
  for (TKVFileSearch* search :
       {fsTemp, fsIE, fsChrome, fsFirefox, fsYandex, fsVivaldi, fsOpera20, fsOpera12}) {
    search->onRefuse = Link<&TKVStatusBar::doText>(sbRefusal, 1);
  }
}

void TClassMainForm_25378D0::JoinCountLinks() {
  // The seven measuring branches fill their holders first; the temp branch,
  // which runs the whole sum, comes last, so one press adds up this press's sizes.
  hubCount->onEvent[0] = Link<&TKVRegistry::doRead>(regCountIE, 0);
  hubCount->onEvent[1] = Link<&TKVRegistry::doRead>(regCountChrome, 0);
  hubCount->onEvent[2] = Link<&TKVRegistry::doRead>(regCountFirefox, 0);
  hubCount->onEvent[3] = Link<&TKVRegistry::doRead>(regCountYandex, 0);
  hubCount->onEvent[4] = Link<&TKVRegistry::doRead>(regCountOpera20, 0);
  hubCount->onEvent[5] = Link<&TKVRegistry::doRead>(regCountOpera12, 0);
  hubCount->onEvent[6] = Link<&TKVRegistry::doRead>(regCountVivaldi, 0);
  hubCount->onEvent[7] = Link<&TKVDir::doChDir>(dirCount, 1);

  regCountIE->onRead = Link<&TKVDirTools::doSize>(dtSizeIE, 3);
  dtSizeIE->onEnd = Link<&TKVEventFromData::doData>(efdSizeIE, 0);
  JoinBrowserMeasuring(regCountChrome, catCountChrome, dtSizeChrome, efdSizeChrome);
  JoinBrowserMeasuring(regCountFirefox, catCountFirefox, dtSizeFirefox, efdSizeFirefox);
  JoinBrowserMeasuring(regCountYandex, catCountYandex, dtSizeYandex, efdSizeYandex);
  JoinBrowserMeasuring(regCountOpera20, catCountOpera20, dtSizeOpera20, efdSizeOpera20);
  JoinBrowserMeasuring(regCountOpera12, catCountOpera12, dtSizeOpera12, efdSizeOpera12);
  JoinBrowserMeasuring(regCountVivaldi, catCountVivaldi, dtSizeVivaldi, efdSizeVivaldi);

  dirCount->onChDir = Link<&TKVDirTools::doSize>(dtSizeTemp, 3);
  dtSizeTemp->DirLink = Link<&TKVDir::TempPath>(dirCount, 2);
  dtSizeTemp->onEnd = Link<&TKVMath::doAdd>(mathSum1, 0);
  JoinAdder(mathSum1, efdSizeIE, Link<&TKVMath::doAdd>(mathSum2, 0));
  JoinAdder(mathSum2, efdSizeChrome, Link<&TKVMath::doAdd>(mathSum3, 0));
  JoinAdder(mathSum3, efdSizeFirefox, Link<&TKVMath::doAdd>(mathSum4, 0));
  JoinAdder(mathSum4, efdSizeYandex, Link<&TKVMath::doAdd>(mathSum5, 0));
  JoinAdder(mathSum5, efdSizeOpera20, Link<&TKVMath::doAdd>(mathSum6, 0));
  JoinAdder(mathSum6, efdSizeOpera12, Link<&TKVMath::doAdd>(mathSum7, 0));
  JoinAdder(mathSum7, nullptr, Link<&TKVMath::doAdd>(mathSum8, 0));
  JoinAdder(mathSum8, efdSizeVivaldi, Link<&TKVMath::doDivide>(mathToMB, 0));
  mathToMB->onResult = Link<&TKVStrCatDelim::doStrCat>(catCountText, 0);
  catCountText->DelimiterLink = Link<&TKVMath::Result>(mathToMB, 0);
}

std::array<TCleaningTarget, kCleaningTargetCount> TClassMainForm_25378D0::CleaningTargets() const {
  std::array<TCleaningTarget, kCleaningTargetCount> targets;
  for (size_t i = 0; i < kCleaningTargetCount; ++i) {
    const TTargetFields& fields = kCleaningTargets[i];
    targets[i] = {fields.name, this->*fields.button, this->*fields.search, this->*fields.deleter};
  }
  return targets;
}

void TClassMainForm_25378D0::FreeComponents() {
  while (!created_.empty()) {
    delete created_.back();
    created_.pop_back();
  }
}
