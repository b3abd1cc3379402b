// The count: one press of its button measures all eight targets and writes
// the total into the button's caption.
#include "scheme_fixture.h"
#include "text_conv.h"

namespace {

constexpr uint64_t kMegabyte = 1048576;

class CountChain : public SchemeTest {
 protected:
  // Presses the count button and reads its caption.
  std::string PressCount() {
    Click(scheme_->btnCount);
    wchar_t text[256] = {};
    GetWindowTextW(scheme_->btnCount->Control->Handle, text, 256);
    return ToUtf8(text);
  }

  std::string Folder(const char* name) const {
    for (const Target& target : Targets()) {
      if (std::string(target.name) == name) return target.folder;
    }
    return {};
  }

  void Put(const char* target, const char* file, uint64_t size) {
    MakeFolders(Folder(target));
    MakeFile(Folder(target) + "\\" + file, size);
  }
};

}  // namespace

TEST_F(CountChain, OnePressAddsUpAllEightTargetsAsTheyAre) {
  Put("temp", "t.tmp", 5 * kMegabyte);
  Put("ie", "i.dat", 10 * kMegabyte);
  Put("chrome", "data_1", 20 * kMegabyte);
  MakeFolders(Folder("firefox") + "\\p.default");
  Put("firefox", "p.default\\cache", 10 * kMegabyte);
  Put("firefox", "profiles.ini", 5 * kMegabyte);  // measured although cleaning keeps it
  Put("yandex", "y", 25 * kMegabyte);
  Put("vivaldi", "v", 10 * kMegabyte);
  Put("opera12", "o12", 10 * kMegabyte);
  Put("opera20", "o20", 10 * kMegabyte);

  EXPECT_EQ(PressCount(), "У вас на компьютере 105 мб мусора.");
  EXPECT_EQ(PressCount(), "У вас на компьютере 105 мб мусора.");

  Put("chrome", "data_2", 7 * kMegabyte);
  EXPECT_EQ(PressCount(), "У вас на компьютере 112 мб мусора.");
  // Counting deletes nothing.
  EXPECT_TRUE(scratch::Exists(Folder("temp") + "\\t.tmp"));
  EXPECT_TRUE(scratch::Exists(Folder("opera20") + "\\o20"));
}

TEST_F(CountChain, MegabytesRoundHalvesToEven) {
  Put("temp", "a", kMegabyte);
  Put("ie", "b", kMegabyte / 2);
  EXPECT_EQ(PressCount(), "У вас на компьютере 2 мб мусора.");  // 1.5
  Put("chrome", "c", kMegabyte);
  EXPECT_EQ(PressCount(), "У вас на компьютере 2 мб мусора.");  // 2.5
}

TEST_F(CountChain, BelowHalfAMegabyteShowsZero) {
  Put("temp", "a", kMegabyte / 2 - 1);
  EXPECT_EQ(PressCount(), "У вас на компьютере 0 мб мусора.");
}

TEST_F(CountChain, EmptyOrMissingTargetsCountZero) {
  EXPECT_EQ(PressCount(), "У вас на компьютере 0 мб мусора.");
  DeleteShellFolder("Cache");
  DeleteShellFolder("Local AppData");
  Put("temp", "a", 3 * kMegabyte);
  EXPECT_EQ(PressCount(), "У вас на компьютере 3 мб мусора.");
}

TEST_F(CountChain, ThreeGigabytesInOneFolderAddUpWithoutOverflow) {
  Put("chrome", "huge", 3 * 1024 * kMegabyte);
  Put("temp", "t", 5 * kMegabyte);
  Put("vivaldi", "huge", 3 * 1024 * kMegabyte);
  EXPECT_EQ(PressCount(), "У вас на компьютере 6149 мб мусора.");
}
