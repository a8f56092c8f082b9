// Driver binding: loads libSartel.so from the program folder and looks up
// the entry points the program uses, in the slot order of TDriverApi.

#include "conditionlimits.h"
#include "dynlib.h"
#include "folders.h"
#include "zelto.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// Looks `name` up and stores it in `slot`, also when missing (null).
template <typename F>
bool Bind(void* module, F& slot, const char* name) {
  slot = reinterpret_cast<F>(rtl::FindSymbol(module, name));
  return slot != nullptr;
}

// Bigger than any text the library may write: a library that ignores its
// 100-unit limit still writes into our memory, and we copy only what fits.
constexpr size_t kScratchUnits = 1024;

// Entries a selector can name: 0x200 + i for i below 0x100; from there on
// the selector would carry the count flag and ask for the count instead.
constexpr int32_t SelectableEntries = SARTEL_SELECT_COUNT;

// Entry `index` of an item table; 0 without a loaded library or for an index
// no selector names (a negative one would ask for something else, a huge
// one would overflow the selector).
int32_t EntryOf(const void* module, int32_t (*query)(int32_t), int32_t index) {
  return module && query && index >= 0 && index < SelectableEntries ? query(SARTEL_SELECT_ENTRY + index) : 0;
}

int32_t CountOf(const void* module, int32_t (*query)(int32_t)) {
  if (!module || !query) return SelectableEntries;
  return std::clamp(query(SARTEL_SELECT_COUNT), 0, SelectableEntries);
}

}  // namespace

bool TZelto::LoadDriver() {
  const std::u16string folder = DriverFolder.empty() ? ProgramDir : DriverFolder;
  DriverModule = rtl::LoadModule(rtl::NativePath(folder + u"" SARTEL_LIBRARY_NAME));
  if (!DriverModule) return false;
  TDriverApi& api = DriverApi;
  void* m = DriverModule;
  // Every name is looked up, also after a missing one.
  int missing = 0;
  missing += !Bind(m, api.InitDriver, "_InitDriver");
  missing += !Bind(m, api.FreeDriver, "_FreeDriver");
  missing += !Bind(m, api.SetPath, "_SetPath");
  missing += !Bind(m, api.ListDevices, "_ListDevices");
  missing += !Bind(m, api.GetDeviceDescr, "_GetDeviceDescr");
  missing += !Bind(m, api.OpenDevice, "_OpenDevice");
  missing += !Bind(m, api.CloseDevice, "_CloseDevice");
  missing += !Bind(m, api.InitDevice, "_InitDevice");
  missing += !Bind(m, api.ConfigDevice, "_ConfigDevice");
  missing += !Bind(m, api.FreeDevice, "_FreeDevice");
  missing += !Bind(m, api.StatusLED, "_StatusLED");
  missing += !Bind(m, api.ErrorLED, "_ErrorLED");
  missing += !Bind(m, api.LaserEnable, "_LaserEnable");
  missing += !Bind(m, api.ReadStatus, "_ReadStatus");
  missing += !Bind(m, api.GetAddress, "_GetAddress");
  missing += !Bind(m, api.GetDeviceID, "_GetDeviceID");
  missing += !Bind(m, api.GetDeviceSN, "_GetDeviceSN");
  missing += !Bind(m, api.GetDeviceVer, "_GetDeviceVer");
  missing += !Bind(m, api.GetConfigByte, "_GetConfigByte");
  missing += !Bind(m, api.GetDeviceRamSize, "_GetDeviceRamSize");
  missing += !Bind(m, api.GetConfigItems, "_GetConfigItems");
  missing += !Bind(m, api.GetClockItems, "_GetClockItems");
  missing += !Bind(m, api.GetGainItems, "_GetGainItems");
  missing += !Bind(m, api.GetDataA, "_GetDataA");
  missing += !Bind(m, api.GetCaptureParams, "_GetCaptureParams");
  missing += !Bind(m, api.GetTemperature, "_GetTemperature");
  missing += !Bind(m, api.CPMode, "_CPMode");
  missing += !Bind(m, api.CPBuffer, "_CPBuffer");
  missing += !Bind(m, api.CPSampling, "_CPSampling");
  missing += !Bind(m, api.CPGain, "_CPGain");
  missing += !Bind(m, api.CPSet, "_CPSet");
  missing += !Bind(m, api.StartCapture, "_StartCapture");
  missing += !Bind(m, api.StopCapture, "_StopCapture");
  missing += !Bind(m, api.EndCapture, "_EndCapture");
  missing += !Bind(m, api.ForceTrigger, "_ForceTrigger");
  missing += !Bind(m, api.Clear, "_Clear");
  missing += !Bind(m, api.ReadRAM, "_ReadRAM");
  missing += !Bind(m, api.WriteRAM, "_WriteRAM");
  missing += !Bind(m, api.GetLastErrorStr, "_GetLastErrorStr");
  missing += !Bind(m, api.ARPJ9457, "_ARPJ9457");
  missing += !Bind(m, api.QPRE4902, "_QPRE4902");
  return missing == 0;
}

void TZelto::UnloadDriver() {
  if (!DriverModule) return;
  rtl::FreeModule(DriverModule);
  DriverModule = nullptr;
}

void TZelto::ReleaseDriver() {
  if (!DriverModule) return;
  if (DriverApi.FreeDevice) DriverApi.FreeDevice();
  if (DriverApi.FreeDriver) DriverApi.FreeDriver();
}

int32_t TZelto::ReadDriverError() {
  LastErrorText.fill(0);
  if (!DriverModule || !DriverApi.GetLastErrorStr) return 0;
  std::array<char16_t, kScratchUnits> scratch{};
  const int32_t code = DriverApi.GetLastErrorStr(scratch.data());
  const auto end = std::find(scratch.begin(), scratch.begin() + (LastErrorText.size() - 1), u'\0');
  std::copy(scratch.begin(), end, LastErrorText.begin());
  return code;
}

int32_t TZelto::DriverFullScale() const { return EntryOf(DriverModule, DriverApi.GetConfigItems, 0); }

bool TZelto::DriverCapturesWholeMemory() const {
  return DriverModule && DriverApi.GetConfigItems && DriverApi.GetConfigItems(SARTEL_CONFIG_WHOLE_MEMORY) == 1;
}

// A model that captures its whole memory measures RamSize samples from the
// first capture on, so a session measured now reads back alike at the next
// start, and the set-up offers no other length.
void TZelto::ReadDeviceMemory() {
  // The memory sizes every buffer: one no model has keeps the default.
  const int32_t ramSize = DriverApi.GetDeviceRamSize ? DriverApi.GetDeviceRamSize() : 0;
  if (conditionlimits::PossibleLength(ramSize)) RamSize = ramSize;
  CapturesWholeMemory = DriverCapturesWholeMemory();
  BuffLength = CapturesWholeMemory ? RamSize : std::min(BuffLength, RamSize);
}

int32_t TZelto::DriverSamplingFrequency() const {
  return EntryOf(DriverModule, DriverApi.GetClockItems, SamplingRate);
}

int32_t TZelto::DriverInputRange(int32_t gainIndex) const {
  return EntryOf(DriverModule, DriverApi.GetGainItems, gainIndex);
}

int32_t TZelto::DriverClockCount() const { return CountOf(DriverModule, DriverApi.GetClockItems); }

int32_t TZelto::DriverGainCount() const { return CountOf(DriverModule, DriverApi.GetGainItems); }
