#pragma once
// TDAQLib: the driver-wide state behind the exports. The transport kind
// found by listing, the capture parameters the caller sets, the memory size
// and item tables of the configured model, the folder of the configuration
// image, and the last-error record.

#include "itemtables.h"
#include "lasterror.h"

#include <cstdint>
#include <string>

namespace sartel {

enum class TKind : std::int32_t { None = 0, Ftdi = 1, Fx2 = 2, Tcp = 3 };

class TDAQLib {
 public:
  static constexpr std::size_t PathUnits = 32767;

  TKind Kind = TKind::None;
  std::int32_t CaptureMode = 0;
  std::int32_t RamSize = 0;
  TItemState Items;
  std::int32_t BufferLength = 0;
  std::int32_t SamplingIndex = 0;
  std::int32_t GainA = 0;
  std::int32_t GainB = 0;
  TLastError Error;

  // Copies a terminated folder text, bounded to PathUnits - 1 units.
  void SetPath(const char16_t* folder);
  const std::u16string& Path() const { return Folder; }

 private:
  std::u16string Folder;
};

}  // namespace sartel
