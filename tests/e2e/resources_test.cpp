// The resources built into brumix.exe, read back the way Windows reads them:
// the group icon "KVXA" and the version block of the file's properties.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "program_driver.h"
#include "text_conv.h"

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE Width;
  BYTE Height;
  BYTE ColorCount;
  BYTE Reserved;
  WORD Planes;
  WORD BitCount;
  DWORD BytesInRes;
  WORD Id;
};
struct GroupIconDir {
  WORD Reserved;
  WORD Type;
  WORD Count;
  GroupIconEntry Entries[1];
};
#pragma pack(pop)

SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

std::string VersionString(const std::vector<char>& block, const char* name) {
  const std::wstring path = ToWstr(std::string("\\StringFileInfo\\041904E3\\") + name);
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
    return "(missing)";
  return ToUtf8(value);
}

}  // namespace

TEST(Resources, TheExeCarriesItsIconAndVersion) {
  const std::string path = ProgramPath();
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << path;

  HRSRC group = FindResourceA(module, "KVXA", RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  auto* dir = static_cast<const GroupIconDir*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(dir, nullptr);
  std::set<int> sizes;
  for (int i = 0; i < dir->Count; ++i) {
    EXPECT_EQ(dir->Entries[i].Width, dir->Entries[i].Height);
    sizes.insert(dir->Entries[i].Width);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
  for (int size : {16, 32}) {
    auto icon = static_cast<HICON>(LoadImageA(module, "KVXA", IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    SIZE made = IconSize(icon);
    EXPECT_EQ(made.cx, size);
    DestroyIcon(icon);
  }
  FreeLibrary(module);

  DWORD handle = 0;
  DWORD blockSize = GetFileVersionInfoSizeW(ToWstr(path).c_str(), &handle);
  ASSERT_GT(blockSize, 0u);
  std::vector<char> block(blockSize);
  ASSERT_TRUE(GetFileVersionInfoW(ToWstr(path).c_str(), 0, blockSize, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010002u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0419);
  EXPECT_EQ(translation[1], 1251);

  EXPECT_EQ(VersionString(block, "ProductName"), "Brumix");
  EXPECT_EQ(VersionString(block, "ProductVersion"), "1.2");
  EXPECT_EQ(VersionString(block, "FileVersion"), "1.2");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "brumix.exe");
  EXPECT_EQ(VersionString(block, "FileDescription"),
            "Brumix — очистка временных файлов и кэша браузеров");
}
