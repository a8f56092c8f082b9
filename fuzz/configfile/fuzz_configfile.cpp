// Feeds arbitrary bytes to the configuration reader as the file
// "Kalvenor.ini", checks that every value it takes lies in its range, and
// that what the writer then keeps reads back the same.
#include <cstdint>

#include "../fuzzcore.h"

namespace {

void RequireInRange(const TZelto& core) {
  fuzz::Require(core.AmplDisplayMode <= admDisplacement);
  fuzz::Require(core.VibValueType <= vvtPeakToPeak);
  fuzz::Require(core.AmplDispModeOscmV <= 1);
  for (size_t i = 1; i <= 17; ++i) fuzz::Require(core.WorkColors[i] <= 0xFFFFFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TZelto& core = fuzz::Core();
  const std::filesystem::path file = fuzz::DataFolder() / "Orvanteq" / "Kalvenor" / "Kalvenor.ini";
  fuzz::WriteFile(file, std::string_view(reinterpret_cast<const char*>(data), size));
  core.LoadConfig();
  RequireInRange(core);
  if (!core.SaveConfig()) return 0;

  const std::u16string language = core.Language, owner = core.Owner;
  const auto colours = core.WorkColors;
  const uint8_t mode = core.AmplDisplayMode, oscilloscope = core.AmplDispModeOscmV, type = core.VibValueType;
  core.LoadConfig();
  fuzz::Require(core.Language == language && core.Owner == owner && core.WorkColors == colours);
  fuzz::Require(core.AmplDisplayMode == mode && core.AmplDispModeOscmV == oscilloscope &&
                core.VibValueType == type);
  return 0;
}
