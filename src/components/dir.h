// TKVDir: changes the process's current directory and offers the user's
// temporary folder as a data output.
#pragma once

#include <cstdint>

#include "component.h"
#include "event.h"

class TKVDir : public TKVComponent {
 public:
  // Input event: sets the current directory to Dir, then fires onChDir (null)
  // whether or not that worked.
  void doChDir(TData& data, uint16_t index);
  // Data output: the temporary folder as TMP (else TEMP) names it, ending in
  // "\"; empty when neither is set.
  void TempPath(TData& data, uint16_t index);

  TKV_Event DirLink;
  TKV_Event onChDir;
};
