#include "scheme.h"

#include <cstdint>

TClassMainForm_25378D0* SchemeInstance = nullptr;

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kCacheValue[] = "Cache";
constexpr char kLocalAppDataValue[] = "Local AppData";
constexpr uint8_t kCurrentUser = 1;
constexpr uint8_t kReadAsText = 1;

// Below "Local AppData".
constexpr char kChromeCache[] = "Google\\Chrome\\User Data\\Default\\Cache";
constexpr char kFirefoxProfiles[] = "Mozilla\\Firefox\\Profiles";
constexpr char kYandexCache[] = "Yandex\\YandexBrowser\\User Data\\Default\\Cache";
constexpr char kVivaldiCache[] = "Vivaldi\\User Data\\Default\\Cache";
constexpr char kOpera12Cache[] = "Opera\\Opera\\cache";
constexpr char kOpera20Folder[] = "Opera Software\\Opera Stable";

constexpr uint8_t kReportFilesAndFolders = 2;
constexpr uint8_t kReportFoldersOnly = 1;

constexpr double kBytesPerMegabyte = 1048576.0;
constexpr uint8_t kResultAsInteger = 0;
constexpr uint8_t kResultAsReal = 1;

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

void SearchEverything(TKVFileSearch& search, uint8_t include) {
  search.Mask = "*";
  search.SearchSubDirs = 0;
  search.FullName = 1;
  search.Include = include;
}

// Deletes and measures without asking and without error dialogs.
void WorkQuietly(TKVDirTools& tools, bool filesOnly) {
  tools.NoConfirmation = 1;
  tools.NoErrorUI = 1;
  tools.FilesOnly = filesOnly ? 1 : 0;
}

void Calculate(TKVMath& math, uint8_t resultType, double op2) {
  math.Op1 = 0.0;
  math.Op2 = op2;
  math.ResultType = resultType;
  math.SetDefault(0.0);
  math.SetAngleMode(false);
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
  SearchEverything(*(fsTemp = Create<TKVFileSearch>()), kReportFilesAndFolders);
  WorkQuietly(*(dtDelTemp = Create<TKVDirTools>()), false);
  SearchEverything(*(fsIE = Create<TKVFileSearch>()), kReportFilesAndFolders);
  // Always overridden by the linked folder; the placeholder is never expanded.
  fsIE->Dir = "%LOCALAPPDATA%\\Microsoft\\Windows\\Temporary Internet Files";
  WorkQuietly(*(dtDelIE = Create<TKVDirTools>()), false);
  hubDone = Create<TKVHub>();
  hubDone->InCount = 8;
  hubDone->SetOutCount(1);
  msgAbout = Create<TKVMessage>();
  msgAbout->Text = kAboutText;
  dirTemp = Create<TKVDir>();
  ReadShellFolder(*(regIE = Create<TKVRegistry>()), kCacheValue);
  SearchEverything(*(fsChrome = Create<TKVFileSearch>()), kReportFilesAndFolders);
  fsChrome->Dir = "%LOCALAPPDATA%\\Google\\Chrome\\User Data\\Default\\Cache";
  WorkQuietly(*(dtDelChrome = Create<TKVDirTools>()), false);
  ReadShellFolder(*(regChrome = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catChrome = Create<TKVStrCatDelim>()), kChromeCache);
  ReadShellFolder(*(regFirefox = Create<TKVRegistry>()), kLocalAppDataValue);
  // Firefox: only the profile folders go; files lying beside them stay.
  SearchEverything(*(fsFirefox = Create<TKVFileSearch>()), kReportFoldersOnly);
  BuildPathBelow(*(catFirefox = Create<TKVStrCatDelim>()), kFirefoxProfiles);
  WorkQuietly(*(dtDelFirefox = Create<TKVDirTools>()), true);
  SearchEverything(*(fsYandex = Create<TKVFileSearch>()), kReportFilesAndFolders);
  WorkQuietly(*(dtDelYandex = Create<TKVDirTools>()), false);
  ReadShellFolder(*(regYandex = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catYandex = Create<TKVStrCatDelim>()), kYandexCache);
  SearchEverything(*(fsVivaldi = Create<TKVFileSearch>()), kReportFilesAndFolders);
  WorkQuietly(*(dtDelVivaldi = Create<TKVDirTools>()), false);
  ReadShellFolder(*(regVivaldi = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catVivaldi = Create<TKVStrCatDelim>()), kVivaldiCache);
  SearchEverything(*(fsOpera20 = Create<TKVFileSearch>()), kReportFilesAndFolders);
  WorkQuietly(*(dtDelOpera20 = Create<TKVDirTools>()), true);
  ReadShellFolder(*(regOpera20 = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catOpera20 = Create<TKVStrCatDelim>()), kOpera20Folder);
  SearchEverything(*(fsOpera12 = Create<TKVFileSearch>()), kReportFilesAndFolders);
  WorkQuietly(*(dtDelOpera12 = Create<TKVDirTools>()), true);
  ReadShellFolder(*(regOpera12 = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catOpera12 = Create<TKVStrCatDelim>()), kOpera12Cache);

  dirCount = Create<TKVDir>();
  WorkQuietly(*(dtSizeTemp = Create<TKVDirTools>()), true);
  ReadShellFolder(*(regCountIE = Create<TKVRegistry>()), kCacheValue);
  hubCount = Create<TKVHub>();
  hubCount->InCount = 1;
  hubCount->SetOutCount(8);
  efdSizeIE = Create<TKVEventFromData>();
  WorkQuietly(*(dtSizeIE = Create<TKVDirTools>()), false);
  ReadShellFolder(*(regCountChrome = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountChrome = Create<TKVStrCatDelim>()), kChromeCache);
  ReadShellFolder(*(regCountFirefox = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountFirefox = Create<TKVStrCatDelim>()), kFirefoxProfiles);
  ReadShellFolder(*(regCountYandex = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountYandex = Create<TKVStrCatDelim>()), kYandexCache);
  ReadShellFolder(*(regCountOpera20 = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountOpera20 = Create<TKVStrCatDelim>()), kOpera20Folder);
  ReadShellFolder(*(regCountOpera12 = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountOpera12 = Create<TKVStrCatDelim>()), kOpera12Cache);
  ReadShellFolder(*(regCountVivaldi = Create<TKVRegistry>()), kLocalAppDataValue);
  BuildPathBelow(*(catCountVivaldi = Create<TKVStrCatDelim>()), kVivaldiCache);
  WorkQuietly(*(dtSizeChrome = Create<TKVDirTools>()), false);
  WorkQuietly(*(dtSizeFirefox = Create<TKVDirTools>()), true);
  WorkQuietly(*(dtSizeYandex = Create<TKVDirTools>()), true);
  WorkQuietly(*(dtSizeOpera20 = Create<TKVDirTools>()), true);
  WorkQuietly(*(dtSizeOpera12 = Create<TKVDirTools>()), false);
  WorkQuietly(*(dtSizeVivaldi = Create<TKVDirTools>()), true);
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
}

void TClassMainForm_25378D0::JoinLinks() {
  JoinCleaningLinks();
  JoinCountLinks();
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

void TClassMainForm_25378D0::FreeComponents() {
  while (!created_.empty()) {
    delete created_.back();
    created_.pop_back();
  }
}
