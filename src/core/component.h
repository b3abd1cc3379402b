// The common root of the scheme's components: plain objects that the scheme
// creates, configures through public fields and frees through this destructor.
#pragma once

class TKVComponent {
 public:
  virtual ~TKVComponent() = default;
};
