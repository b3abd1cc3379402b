// The eight cleaning chains, started where their buttons will start them.
#include "scheme_fixture.h"

namespace {

class CleaningChains : public SchemeTest {
 protected:
  // Fires what the target's button fires, at the component it is linked to.
  void Press(const std::string& name) {
    TClassMainForm_25378D0& s = *scheme_;
    if (name == "temp") return FireNull(Link<&TKVDir::doChDir>(s.dirTemp, 1));
    TKVRegistry* reader = name == "ie"        ? s.regIE
                          : name == "chrome"  ? s.regChrome
                          : name == "firefox" ? s.regFirefox
                          : name == "yandex"  ? s.regYandex
                          : name == "vivaldi" ? s.regVivaldi
                          : name == "opera12" ? s.regOpera12
                                              : s.regOpera20;
    FireNull(Link<&TKVRegistry::doRead>(reader, 0));
  }

  // The deleter whose onEnd the target's lamp will hear; the probe listens there.
  EventProbe& ListenToDeleter(const std::string& name) {
    TClassMainForm_25378D0& s = *scheme_;
    TKVDirTools* deleter = name == "temp"      ? s.dtDelTemp
                           : name == "ie"      ? s.dtDelIE
                           : name == "chrome"  ? s.dtDelChrome
                           : name == "firefox" ? s.dtDelFirefox
                           : name == "yandex"  ? s.dtDelYandex
                           : name == "vivaldi" ? s.dtDelVivaldi
                           : name == "opera12" ? s.dtDelOpera12
                                               : s.dtDelOpera20;
    probes_.push_back(std::make_unique<EventProbe>());
    deleter->onEnd = Link<&EventProbe::doArrive>(probes_.back().get(), 2);
    return *probes_.back();
  }

  std::vector<std::unique_ptr<EventProbe>> probes_;
};

}  // namespace

TEST_F(CleaningChains, EachTargetIsEmptiedWithOneEndPerDeletedEntry) {
  for (const Target& target : Targets()) {
    if (std::string(target.name) == "firefox") continue;  // folders only: its own test
    SCOPED_TRACE(target.name);
    MakeFolders(target.folder);
    FillTarget(target.folder);
    EventProbe& ends = ListenToDeleter(target.name);
    Press(target.name);
    EXPECT_TRUE(IsEmptyFolder(target.folder));
    // a.tmp, b.dat, c and the folder sub, deleted whole on its first report.
    EXPECT_EQ(ends.count, 4);

    Press(target.name);
    EXPECT_EQ(ends.count, 4) << "a second press finds nothing";
    EXPECT_TRUE(IsEmptyFolder(target.folder));
  }
}

TEST_F(CleaningChains, EmptyOrMissingTargetsFireNothing) {
  for (const Target& target : Targets()) {
    SCOPED_TRACE(target.name);
    EventProbe& ends = ListenToDeleter(target.name);
    Press(target.name);  // missing folder
    MakeFolders(target.folder);
    Press(target.name);  // empty folder
    EXPECT_EQ(ends.count, 0);
  }
}

TEST_F(CleaningChains, FirefoxDeletesProfileFoldersAndLeavesFilesBesideThem) {
  const std::string profiles = BelowLocal("Mozilla\\Firefox\\Profiles");
  MakeFolders(profiles + "\\abcd.default\\cache2\\entries");
  MakeFolders(profiles + "\\efgh.work");
  MakeFile(profiles + "\\abcd.default\\cache2\\entries\\1A2B");
  MakeFile(profiles + "\\efgh.work\\places.sqlite");
  MakeFile(profiles + "\\profiles.ini");
  EventProbe& ends = ListenToDeleter("firefox");
  Press("firefox");
  EXPECT_FALSE(scratch::Exists(profiles + "\\abcd.default"));
  EXPECT_FALSE(scratch::Exists(profiles + "\\efgh.work"));
  EXPECT_TRUE(scratch::Exists(profiles + "\\profiles.ini"));
  EXPECT_EQ(ends.count, 2);
}

TEST_F(CleaningChains, TempNeedsNoRegistryAndIEWithoutCacheDoesNothing) {
  DeleteShellFolder("Cache");
  DeleteShellFolder("Local AppData");
  FillTarget(TempFolder());
  FillTarget(IEFolder());
  EventProbe& tempEnds = ListenToDeleter("temp");
  EventProbe& ieEnds = ListenToDeleter("ie");
  Press("temp");
  Press("ie");
  EXPECT_TRUE(IsEmptyFolder(TempFolder()));
  EXPECT_EQ(tempEnds.count, 4);
  EXPECT_EQ(ieEnds.count, 0);
  EXPECT_TRUE(scratch::Exists(IEFolder() + "\\sub\\nested\\e.tmp"));
}

TEST_F(CleaningChains, FileInUseStaysAndTheWalkGoesOn) {
  FillTarget(TempFolder());
  HANDLE held = CreateFileA((TempFolder() + "\\b.dat").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EventProbe& ends = ListenToDeleter("temp");
  Press("temp");
  CloseHandle(held);
  EXPECT_TRUE(scratch::Exists(TempFolder() + "\\b.dat"));
  EXPECT_FALSE(scratch::Exists(TempFolder() + "\\a.tmp"));
  EXPECT_FALSE(scratch::Exists(TempFolder() + "\\c"));
  EXPECT_FALSE(scratch::Exists(TempFolder() + "\\sub"));
  EXPECT_EQ(ends.count, 3);
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
  FireNull(Link<&TKVHub::doEvent>(scheme_->hubCount, 0));
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
  SetHooksWorking();
}
