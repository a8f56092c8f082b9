#include "gainsetting.h"

#include <optional>
#include <string>

#include "conditionkeys.h"
#include "formatting.h"
#include "tableindex.h"
#include "zelto.h"

namespace datafile {

namespace {

// The index of this device's range that takes `rangeMv` without clipping,
// nearest first; nothing without a list.
std::optional<int32_t> GainTaking(const TZelto& core, int32_t rangeMv) {
  std::optional<int32_t> exact, larger, largest;
  for (int32_t index = 0; index < core.DriverGainCount(); ++index) {
    const int32_t range = core.DriverInputRange(index);
    if (range <= 0) continue;
    if (range == rangeMv && !exact) exact = index;
    if (range > rangeMv && (!larger || range < core.DriverInputRange(*larger))) larger = index;
    if (!largest || range > core.DriverInputRange(*largest)) largest = index;
  }
  return exact ? exact : larger ? larger : largest;
}

}  // namespace

int32_t ReadGainIndex(const XmlIniFile& d, std::u16string_view section, uint8_t channel, const TZelto& core,
                      int32_t fallback, bool noted) {
  const int32_t stored = d.ReadInteger(section, channel == 0 ? u"GainA" : u"GainB", fallback);
  const int32_t position = TableIndex(stored, core.DriverGainCount() - 1, fallback);
  TRecordConditions scale;
  if (!ReadScaleKeys(d, section, scale)) return position;
  const int32_t rangeMv = scale.Range(channel);
  if (core.DriverInputRange(position) == rangeMv) return position;
  const std::optional<int32_t> index = GainTaking(core, rangeMv);
  if (!index) return position;
  const int32_t used = core.DriverInputRange(*index);
  if (used != rangeMv && noted)
    core.NoteCondition(cnRangeReplaced, std::u16string(channel == 0 ? u"A: " : u"B: ") + FormatVoltage(rangeMv, 1) +
                                            u" \u2192 " + FormatVoltage(used, 1));
  return *index;
}

}  // namespace datafile
