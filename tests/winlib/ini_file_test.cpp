#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "ini_file.h"

namespace {

// A scratch folder under the prefix's temp path, removed with its file.
class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    folder = std::string(temp) + "brumix_ini_test";
    CreateDirectoryA(folder.c_str(), nullptr);
    file = folder + "\\place.ini";
    DeleteFileA(file.c_str());
  }
  void TearDown() override {
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
  }
  std::string folder;
  std::string file;
};

}  // namespace

TEST_F(IniFileTest, WrittenValuesReadBack) {
  TIniFile* ini = OpenIniFile(file);
  EXPECT_FALSE(ini->WriteMode);
  EXPECT_TRUE(ini->Section.empty());
  ini->Section = "Form";
  ini->WriteMode = true;
  EXPECT_EQ(ini->ValueInteger("Left", 120), 120);
  EXPECT_EQ(ini->ValueInteger("Top", -35), -35);
  ini->WriteMode = false;
  EXPECT_EQ(ini->ValueInteger("Left", 0), 120);
  EXPECT_EQ(ini->ValueInteger("Top", 0), -35);
  EXPECT_EQ(ini->ValueInteger("Width", 7), 7);
  ini->Section = "Other";
  EXPECT_EQ(ini->ValueInteger("Left", 9), 9);
  ini->Free();
  // The file is a real profile file the system can read by itself.
  EXPECT_EQ(GetPrivateProfileIntA("Form", "Left", 0, file.c_str()), 120u);
}

TEST_F(IniFileTest, MissingFileAnswersDefault) {
  TIniFile* ini = OpenIniFile(file);
  EXPECT_EQ(ini->ValueInteger("Left", 42), 42);
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  ini->Free();
}

TEST_F(IniFileTest, EmptyFileNameTouchesNothing) {
  TIniFile* ini = OpenIniFile("");
  ini->WriteMode = true;
  EXPECT_EQ(ini->ValueInteger("BrumixProbe", 5), 5);
  ini->WriteMode = false;
  EXPECT_EQ(ini->ValueInteger("BrumixProbe", 8), 8);
  ini->Free();
}
