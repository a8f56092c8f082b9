#pragma once
// The entries of the core's WorkColors table by their configuration key
// names, so every window draws "WorkChA" rather than entry 3. Entries 1 to
// 17 follow the keys of the configuration section "Colors" in file order;
// entries 0, 18 and 19 are not used.

#include <cstdint>

enum TWorkColor : uint8_t {
  wcWorkBack = 1,
  wcWorkGrid,
  wcWorkChA,
  wcWorkChB,
  wcWorkText1,
  wcWorkText2,
  wcWorkCurX,
  wcWorkCurY,
  wcWorkCurT,
  wcWorkFill,
  wcWorkChACr,
  wcWorkChBCr,
  wcWorkVDiv1,
  wcWorkVDiv2,
  wcWorkGWBA,
  wcWorkGWBB,
  wcWorkGWBC,
};

constexpr int WorkColorCount = 20;
