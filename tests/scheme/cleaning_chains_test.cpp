// The eight cleaning chains, started by pressing their buttons: the target
// empties, its lamp lights and the status bar says so.
#include "scheme_fixture.h"

namespace {

constexpr char kWaiting[] = "Ожидаю нажатия кнопки....";
constexpr char kCleaned[] = "Мусор вычищен нах!";

struct Row {
  TKVBitBtn* button;
  TKVLED* lamp;
};

class CleaningChains : public SchemeTest {
 protected:
  Row RowOf(const std::string& name) const {
    const TClassMainForm_25378D0& s = *scheme_;
    if (name == "temp") return {s.btnDelTemp, s.ledTemp};
    if (name == "ie") return {s.btnDelIE, s.ledIE};
    if (name == "chrome") return {s.btnDelChrome, s.ledChrome};
    if (name == "firefox") return {s.btnDelFirefox, s.ledFirefox};
    if (name == "yandex") return {s.btnDelYandex, s.ledYandex};
    if (name == "vivaldi") return {s.btnDelVivaldi, s.ledVivaldi};
    if (name == "opera12") return {s.btnDelOpera12, s.ledOpera12};
    return {s.btnDelOpera20, s.ledOpera20};
  }
  void Press(const std::string& name) { Click(RowOf(name).button); }
  bool Lit(const std::string& name) const { return RowOf(name).lamp->On; }
};

}  // namespace

TEST_F(CleaningChains, EachButtonEmptiesItsTargetLightsItsLampAndSetsTheStatus) {
  EXPECT_EQ(StatusText(), kWaiting);
  for (const Target& target : Targets()) {
    if (std::string(target.name) == "firefox") continue;  // folders only: its own test
    SCOPED_TRACE(target.name);
    MakeFolders(target.folder);
    FillTarget(target.folder);
    EXPECT_FALSE(Lit(target.name));
    Press(target.name);
    EXPECT_TRUE(IsEmptyFolder(target.folder));
    EXPECT_TRUE(Lit(target.name));
    EXPECT_EQ(StatusText(), kCleaned);

    Press(target.name);  // finds nothing; the lamp stays lit
    EXPECT_TRUE(IsEmptyFolder(target.folder));
    EXPECT_TRUE(Lit(target.name));
  }
}

TEST_F(CleaningChains, EmptyOrMissingTargetsLightNothing) {
  for (const Target& target : Targets()) {
    SCOPED_TRACE(target.name);
    Press(target.name);  // missing folder
    MakeFolders(target.folder);
    Press(target.name);  // empty folder
    EXPECT_FALSE(Lit(target.name));
  }
  EXPECT_EQ(StatusText(), kWaiting);
}

TEST_F(CleaningChains, FirefoxDeletesProfileFoldersAndLeavesFilesBesideThem) {
  const std::string profiles = BelowLocal("Mozilla\\Firefox\\Profiles");
  MakeFolders(profiles + "\\abcd.default\\cache2\\entries");
  MakeFolders(profiles + "\\efgh.work");
  MakeFile(profiles + "\\abcd.default\\cache2\\entries\\1A2B");
  MakeFile(profiles + "\\efgh.work\\places.sqlite");
  MakeFile(profiles + "\\profiles.ini");
  Press("firefox");
  EXPECT_FALSE(scratch::Exists(profiles + "\\abcd.default"));
  EXPECT_FALSE(scratch::Exists(profiles + "\\efgh.work"));
  EXPECT_TRUE(scratch::Exists(profiles + "\\profiles.ini"));
  EXPECT_TRUE(Lit("firefox"));
}

TEST_F(CleaningChains, TempNeedsNoRegistryAndIEWithoutCacheDoesNothing) {
  DeleteShellFolder("Cache");
  DeleteShellFolder("Local AppData");
  FillTarget(TempFolder());
  FillTarget(IEFolder());
  Press("temp");
  Press("ie");
  EXPECT_TRUE(IsEmptyFolder(TempFolder()));
  EXPECT_TRUE(Lit("temp"));
  EXPECT_FALSE(Lit("ie"));
  EXPECT_TRUE(scratch::Exists(IEFolder() + "\\sub\\nested\\e.tmp"));
}

TEST_F(CleaningChains, FileInUseStaysAndTheWalkGoesOn) {
  FillTarget(TempFolder());
  HANDLE held = CreateFileA((TempFolder() + "\\b.dat").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Press("temp");
  CloseHandle(held);
  EXPECT_TRUE(scratch::Exists(TempFolder() + "\\b.dat"));
  EXPECT_FALSE(scratch::Exists(TempFolder() + "\\a.tmp"));
  EXPECT_FALSE(scratch::Exists(TempFolder() + "\\c"));
  EXPECT_FALSE(scratch::Exists(TempFolder() + "\\sub"));
  EXPECT_TRUE(Lit("temp"));
}

TEST_F(CleaningChains, NothingOutsideTheTargetsIsEverDeleted) {
  int serial = 0;
  std::vector<std::string> mustSurvive;
  for (const Target& target : Targets()) {
    MakeFolders(target.folder);
    FillTarget(target.folder);
    // A sibling beside the target, and a link from inside it to a folder outside.
    const std::string sibling = target.folder + "_sibling";
    MakeFolders(sibling);
    MakeFile(sibling + "\\keep.txt");
    const std::string outside = Outside() + "\\" + std::to_string(++serial);
    MakeFolders(outside + "\\inner");
    MakeFile(outside + "\\inner\\keep.txt");
    ASSERT_TRUE(scratch::MakeLink(target.folder + "\\sub\\link", outside));
    mustSurvive.push_back(sibling + "\\keep.txt");
    mustSurvive.push_back(outside + "\\inner\\keep.txt");
  }
  for (const Target& target : Targets())
    Press(target.name);
  // Measuring must not harm anything either.
  Click(scheme_->btnCount);
  for (const std::string& path : mustSurvive)
    EXPECT_TRUE(scratch::Exists(path)) << path;
  // The cleaning still happened (Firefox leaves files lying in its folder).
  for (const Target& target : Targets()) {
    if (std::string(target.name) == "firefox") continue;
    EXPECT_FALSE(scratch::Exists(target.folder + "\\a.tmp")) << target.name;
  }
}

TEST_F(CleaningChains, SchemeIsReachableAndIdleHooksReachNoDeleter) {
  EXPECT_EQ(SchemeInstance, scheme_.get());
  // As during construction and after the main form closes: nothing flows.
  FillTarget(TempFolder());
  SetHooksIdle();
  Press("temp");
  EXPECT_TRUE(scratch::Exists(TempFolder() + "\\a.tmp"));
  EXPECT_FALSE(Lit("temp"));
  SetHooksWorking();
}

TEST_F(CleaningChains, NoWindowOrGdiObjectOfTheComponentsOutlivesTheScheme) {
  FillTarget(TempFolder());
  Press("temp");
  Click(scheme_->btnCount);
  UpdateWindow(scheme_->formMain->Control->Handle);
  const TClassMainForm_25378D0& s = *scheme_;
  std::vector<HWND> windows = {s.formMain->Control->Handle, s.formMain->Control->StatusBar->Handle};
  for (TKVWin* window : std::initializer_list<TKVWin*>{
           s.lblTitle, s.btnDelIE, s.btnDelTemp, s.btnDelChrome, s.btnDelFirefox, s.btnDelYandex,
           s.btnDelVivaldi, s.btnDelOpera12, s.btnDelOpera20, s.btnCount, s.btnAbout, s.btnExit}) {
    windows.push_back(window->Control->Handle);
  }
  std::vector<HGDIOBJ> objects;
  for (TKVLED* lamp : {s.ledIE, s.ledTemp, s.ledChrome, s.ledFirefox, s.ledYandex, s.ledVivaldi,
                       s.ledOpera12, s.ledOpera20}) {
    windows.push_back(lamp->Control->Handle);
    objects.insert(objects.end(),
                   {lamp->GreyPen, lamp->WhitePen, lamp->UnlitPen, lamp->LightPen, lamp->WhitePen2,
                    lamp->LitPen2, lamp->LitBrush, lamp->UnlitBrush});
  }
  for (HWND window : windows)
    ASSERT_TRUE(IsWindow(window));
  for (HGDIOBJ object : objects)
    ASSERT_NE(GetObjectType(object), 0u);

  // As the program ends: the loop frees the window controls, then the scheme goes.
  SetHooksIdle();
  FreeApplication();
  scheme_.reset();
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window));
  for (HGDIOBJ object : objects)
    EXPECT_EQ(GetObjectType(object), 0u);
}
