#pragma once
// The control commands of the simulated network device, one text line each
// (numbers with a decimal point, whatever the locale):
//   speed <rpm>
//   mass <A|B> <grams> <angle in degrees>
//   noise <millivolts rms>
//   temperature <millivolts>
//   poll <samples per status read>
//   segments <bytes> <delay ms>       (a slow link; 0 bytes: whole replies)
//   split <pieces> <delay ms>         (each reply in parts; 0: whole)
//   fault <close|reset|stall|garbage|extra> [opcode <n>] [skip <n>] [count <n>]
//   clear                             (no more faults; ends a stall)
// The answer is "ok" or "error: " and the reason.

#include <string>

namespace sim {

class TLodrastServer;

std::string ApplyControl(TLodrastServer& server, const std::string& line);

}  // namespace sim
