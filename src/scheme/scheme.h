// TClassMainForm_25378D0: creates this program's components in their fixed
// order, writes their properties, joins their links and frees them last-first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include "buttons.h"
#include "component.h"
#include "dir.h"
#include "dir_tools.h"
#include "event_from_data.h"
#include "file_search.h"
#include "hub.h"
#include "kv_math.h"
#include "kv_win.h"
#include "label.h"
#include "led.h"
#include "main_form.h"
#include "message.h"
#include "registry.h"
#include "status_bar.h"
#include "str_cat_delim.h"

// The cleaner's browsers and the parts of each one's row, given in scheme.cpp.
enum class TBrowser : uint8_t;
enum class TBrowserPart : uint8_t;

// A cleaning target as a press reaches it: the button that starts its chain,
// the search that walks its folder and the deleter that empties it.
struct TCleaningTarget {
  const char* name;  // as its button names it: "%temp%", "кэш Google Chrome"
  TKVBitBtn* button;
  TKVFileSearch* search;
  TKVDirTools* deleter;
};
constexpr size_t kCleaningTargetCount = 8;

class TClassMainForm_25378D0 {
 public:
  TClassMainForm_25378D0();
  ~TClassMainForm_25378D0();
  TClassMainForm_25378D0(const TClassMainForm_25378D0&) = delete;
  TClassMainForm_25378D0& operator=(const TClassMainForm_25378D0&) = delete;

  // In the order of creation. formMain is read by start-up.
  TKVMainForm* formMain = nullptr;
  TKVLabel* lblTitle = nullptr;
  TKVBitBtn* btnDelIE = nullptr;
  TKVBitBtn* btnDelTemp = nullptr;
  TKVFileSearch* fsTemp = nullptr;
  TKVDirTools* dtDelTemp = nullptr;
  TKVFileSearch* fsIE = nullptr;
  TKVDirTools* dtDelIE = nullptr;
  TKVLED* ledIE = nullptr;
  TKVLED* ledTemp = nullptr;
  TKVStatusBar* sbStatus = nullptr;
  TKVHub* hubDone = nullptr;
  TKVButton* btnAbout = nullptr;
  TKVButton* btnExit = nullptr;
  TKVMessage* msgAbout = nullptr;
  TKVDir* dirTemp = nullptr;
  TKVRegistry* regIE = nullptr;
  TKVBitBtn* btnDelChrome = nullptr;
  TKVFileSearch* fsChrome = nullptr;
  TKVDirTools* dtDelChrome = nullptr;
  TKVLED* ledChrome = nullptr;
  TKVRegistry* regChrome = nullptr;
  TKVStrCatDelim* catChrome = nullptr;
  TKVBitBtn* btnDelFirefox = nullptr;
  TKVRegistry* regFirefox = nullptr;
  TKVFileSearch* fsFirefox = nullptr;
  TKVStrCatDelim* catFirefox = nullptr;
  TKVDirTools* dtDelFirefox = nullptr;
  TKVLED* ledFirefox = nullptr;
  TKVBitBtn* btnDelYandex = nullptr;
  TKVBitBtn* btnDelVivaldi = nullptr;
  TKVBitBtn* btnDelOpera12 = nullptr;
  TKVBitBtn* btnDelOpera20 = nullptr;
  TKVFileSearch* fsYandex = nullptr;
  TKVDirTools* dtDelYandex = nullptr;
  TKVRegistry* regYandex = nullptr;
  TKVStrCatDelim* catYandex = nullptr;
  TKVLED* ledYandex = nullptr;
  TKVFileSearch* fsVivaldi = nullptr;
  TKVDirTools* dtDelVivaldi = nullptr;
  TKVRegistry* regVivaldi = nullptr;
  TKVStrCatDelim* catVivaldi = nullptr;
  TKVLED* ledVivaldi = nullptr;
  TKVFileSearch* fsOpera20 = nullptr;
  TKVDirTools* dtDelOpera20 = nullptr;
  TKVRegistry* regOpera20 = nullptr;
  TKVStrCatDelim* catOpera20 = nullptr;
  TKVLED* ledOpera20 = nullptr;
  TKVFileSearch* fsOpera12 = nullptr;
  TKVDirTools* dtDelOpera12 = nullptr;
  TKVRegistry* regOpera12 = nullptr;
  TKVStrCatDelim* catOpera12 = nullptr;
  TKVLED* ledOpera12 = nullptr;
  TKVBitBtn* btnCount = nullptr;
  TKVDir* dirCount = nullptr;
  TKVDirTools* dtSizeTemp = nullptr;
  TKVRegistry* regCountIE = nullptr;
  TKVHub* hubCount = nullptr;
  TKVEventFromData* efdSizeIE = nullptr;
  TKVDirTools* dtSizeIE = nullptr;
  TKVRegistry* regCountChrome = nullptr;
  TKVStrCatDelim* catCountChrome = nullptr;
  TKVRegistry* regCountFirefox = nullptr;
  TKVStrCatDelim* catCountFirefox = nullptr;
  TKVRegistry* regCountYandex = nullptr;
  TKVStrCatDelim* catCountYandex = nullptr;
  TKVRegistry* regCountOpera20 = nullptr;
  TKVStrCatDelim* catCountOpera20 = nullptr;
  TKVRegistry* regCountOpera12 = nullptr;
  TKVStrCatDelim* catCountOpera12 = nullptr;
  TKVRegistry* regCountVivaldi = nullptr;
  TKVStrCatDelim* catCountVivaldi = nullptr;
  TKVDirTools* dtSizeChrome = nullptr;
  TKVDirTools* dtSizeFirefox = nullptr;
  TKVDirTools* dtSizeYandex = nullptr;
  TKVDirTools* dtSizeOpera20 = nullptr;
  TKVDirTools* dtSizeOpera12 = nullptr;
  TKVDirTools* dtSizeVivaldi = nullptr;
  TKVEventFromData* efdSizeChrome = nullptr;
  TKVEventFromData* efdSizeFirefox = nullptr;
  TKVEventFromData* efdSizeYandex = nullptr;
  TKVEventFromData* efdSizeOpera20 = nullptr;
  TKVEventFromData* efdSizeOpera12 = nullptr;
  TKVEventFromData* efdSizeVivaldi = nullptr;
  TKVMath* mathSum1 = nullptr;
  TKVMath* mathSum2 = nullptr;
  TKVMath* mathSum3 = nullptr;
  TKVMath* mathSum4 = nullptr;
  TKVMath* mathSum5 = nullptr;
  TKVMath* mathSum6 = nullptr;
  TKVMath* mathSum7 = nullptr;
  TKVMath* mathSum8 = nullptr;
  TKVMath* mathToMB = nullptr;
  TKVStrCatDelim* catCountText = nullptr;
  // Writes into sbStatus's bar why a search refused its folder.
  TKVStatusBar* sbRefusal = nullptr;

  // In the tab order of their buttons.
  [[nodiscard]] std::array<TCleaningTarget, kCleaningTargetCount> CleaningTargets() const;

 private:
  void CreateComponents();
  // The six browsers' buttons, lamps and chains, from their table.
  void CreateBrowserRows(TControl* form);
  void CreateBrowserPart(TBrowser browser, TBrowserPart part, TControl* form);
  void JoinLinks();
  void JoinWindowLinks();
  void JoinCleaningLinks();
  void JoinCountLinks();
  void JoinWindowsToManagers();
  void FreeComponents();

  // Creates a component and records it, so that it is freed in reverse order;
  // window components are also kept in order for joining their managers.
  template <class T, class... Args>
  T* Create(Args&&... args) {
    T* component = new T(std::forward<Args>(args)...);
    created_.push_back(component);
    if constexpr (std::is_base_of_v<TKVWin, T>) windows_.push_back(component);
    return component;
  }

  std::vector<TKVComponent*> created_;
  std::vector<TKVWin*> windows_;
};

// The one scheme object, set by its constructor before anything is created.
extern TClassMainForm_25378D0* SchemeInstance;
