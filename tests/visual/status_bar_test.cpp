// The status bar component on a real form: parts laid out from "name=width"
// lines, texts chosen by doText, and nothing done for numbers out of range or
// once the form is gone.
#include "status_bar.h"

#include <string>
#include <vector>

#include "component_window.h"
#include "text_conv.h"

namespace {

class StatusBar : public ComponentWindow {
 protected:
  std::string PartText(int index) {
    wchar_t text[256] = {};
    SendMessageW(form->StatusBar->Handle, SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text));
    return ToUtf8(text);
  }
  std::vector<int> Edges() {
    int edges[256];
    const auto count = static_cast<int>(
        SendMessageA(form->StatusBar->Handle, SB_GETPARTS, 256, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + count);
  }
  // doText with a line number and, next in the chain, a part number.
  void ShowLine(TKVStatusBar& bar, int line, int part) {
    TData partData;
    SetInteger(partData, part);
    TData data;
    SetInteger(data, line);
    data.next = &partData;
    FireData(Link<&TKVStatusBar::doText>(&bar, 1), data);
  }
};

}  // namespace

TEST_F(StatusBar, PartsEndAtTheRunningSumOfTheirWidthsAndAlignmentPutsTabs) {
  TKVStatusBar bar(form);
  bar.Visible = true;
  bar.Text = "wait";
  bar.Alignment = 1;
  bar.SetParts("a=100\r\nb=50\r\nc\r\n");
  ASSERT_NE(form->StatusBar, nullptr);
  EXPECT_EQ(Edges(), (std::vector<int>{100, 150, 150, -1}));
  EXPECT_EQ(PartText(0), "\ta");
  EXPECT_EQ(PartText(1), "\tb");
  EXPECT_EQ(PartText(2), "\tc");
  EXPECT_EQ(PartText(3), "\twait");

  bar.SetStrings("zero\r\none\r\n");
  ArrivalProbe texts;
  bar.onText = Link<&ArrivalProbe::doArrive>(&texts, 0);
  FireInteger(Link<&TKVStatusBar::doText>(&bar, 1), 1);
  EXPECT_EQ(PartText(0), "\tone");
  ShowLine(bar, 0, 1);
  EXPECT_EQ(PartText(1), "\tzero");
  ShowLine(bar, 7, 2);  // no such line
  EXPECT_EQ(PartText(2), "\t");
  EXPECT_EQ(texts.count, 3);

  // Neither another part nor the simple-mode text.
  ShowLine(bar, 1, 255);
  ShowLine(bar, 1, 256 + 3);
  ShowLine(bar, 1, -1);
  EXPECT_EQ(texts.count, 3);
  EXPECT_EQ(PartText(3), "\twait");
  EXPECT_EQ(Edges().size(), 4u);

  bar.Alignment = 3;
  ShowLine(bar, 0, 0);
  EXPECT_EQ(PartText(0), "zero");
}

TEST_F(StatusBar, EmptyPartsLeaveTheBarInSimpleModeUntilTheFirstPartText) {
  TKVStatusBar bar(form);
  bar.Visible = true;
  bar.Text = "Ожидаю нажатия кнопки....";
  bar.SetParts("");
  bar.SetStrings("Файлов нет! Это чудесно!\r\nМусор вычищен нах!\r\n");
  ASSERT_NE(form->StatusBar, nullptr);
  const HWND window = form->StatusBar->Handle;
  EXPECT_TRUE(SendMessageA(window, SB_ISSIMPLE, 0, 0));
  // In simple mode the bar answers its simple text for index 0.
  EXPECT_EQ(PartText(0), "Ожидаю нажатия кнопки....");

  FireInteger(Link<&TKVStatusBar::doText>(&bar, 1), 1);
  EXPECT_FALSE(SendMessageA(window, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(PartText(0), "Мусор вычищен нах!");

  // The form control goes first, as when the loop has ended.
  form->Free();
  form = nullptr;
  EXPECT_EQ(bar.Parent, nullptr);
  FireInteger(Link<&TKVStatusBar::doText>(&bar, 1), 0);
  bar.SetParts("a=10");
}
