#pragma once
// The entries of the core's WorkColors table by their configuration key
// names, so the diagrams and panels draw "WorkChA" rather than entry 3.

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
