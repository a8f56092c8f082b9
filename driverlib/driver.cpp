#include "driver.h"

#include "fx2/fx2portsource.h"
#include "lodrast.h"
#include "models.h"
#include "textout.h"
#include "transfertimeout.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace sartel {

namespace {

// The FTDI model lists under exactly this description.
constexpr const char* FtdiDescription = "Kalvenor";
// Listing asks for descriptions of at most this many devices, so a count
// the library gets wrong cannot keep it busy.
constexpr std::uint32_t MaxScanned = 1024;

std::string Fx2LockName(int index) { return "ZeltoFX2Device" + std::to_string(index); }

}  // namespace

TDriver::TDriver() = default;

// The model goes before the transport it uses.
TDriver::~TDriver() { Model.reset(); }

bool TDriver::InitTransports() {
  if (!Tcp) Tcp = std::make_unique<tcp::TTcpLink>();
  if (!Fx2)
    Fx2 = std::make_unique<fx2::TUSBFX2>(fx2port::CreatePortFromEnvironment(), TransferTimeoutFromEnvironment());
  if (Ftdi) return true;
  Ftdi = std::make_unique<ftdi::TUSBFTDI>(Lib.Error);
  return Ftdi->Bind();
}

std::int32_t TDriver::ListDevices(std::int32_t* indices, const char* host) {
  Lib.Kind = TKind::None;
  if (host) return ListTcp(host);
  if (!indices) {
    Lib.Error.Set("Could not list USB devices", 1);
    return 0;
  }
  // FX2 devices come first: FTDI devices are listed only when no free FX2
  // device exists.
  const std::int32_t fx2 = ListFx2(indices);
  if (fx2 > 0) {
    Lib.Error.Clear();
    return fx2;
  }
  return ListFtdi(indices);
}

// A host text selects the network device: listing it is connecting to it.
// The index array is not written.
std::int32_t TDriver::ListTcp(const char* host) {
  if (!Tcp) Tcp = std::make_unique<tcp::TTcpLink>();
  // Looks no further than one character past the longest host text.
  const std::size_t length = strnlen(host, tcp::TTcpLink::MaxHostLength + 1);
  const tcp::TConnectResult result = Tcp->Connect(std::string(host, length));
  if (result != tcp::TConnectResult::Connected) {
    Lib.Error.Set(lodrast::ConnectFailureText(result), 1);
    return 0;
  }
  Lib.Kind = TKind::Tcp;
  Lib.Error.Clear();
  return 1;
}

// A device another process holds (its lock is taken) is not listed.
std::int32_t TDriver::ListFx2(std::int32_t* indices) {
  if (!Fx2) return 0;
  fx2::CUsbDevice& device = Fx2->Device();
  const int count = device.DeviceCount();
  std::int32_t listed = 0;
  for (int j = 0; j < count && listed < MaxListed; ++j) {
    device.Open(static_cast<std::uint8_t>(j));
    if (!rtl::IsNamedLockHeld(Fx2LockName(j))) {
      indices[listed++] = j;
      Lib.Kind = TKind::Fx2;
    }
    device.Close();
  }
  return listed;
}

std::int32_t TDriver::ListFtdi(std::int32_t* indices) {
  std::uint32_t count = 0;
  if (!Ftdi || !Ftdi->CountDevices(count)) {
    Lib.Error.Set("Could not list USB devices", 1);
    return 0;
  }
  std::int32_t listed = 0;
  const std::uint32_t scanned = std::min(count, MaxScanned);
  for (std::uint32_t j = 0; j < scanned && listed < MaxListed; ++j) {
    std::string description;
    if (!Ftdi->Description(static_cast<int>(j), description) || description != FtdiDescription) continue;
    indices[listed++] = static_cast<std::int32_t>(j);
    Lib.Kind = TKind::Ftdi;
  }
  Lib.Error.Clear();
  return listed;
}

void TDriver::DeviceDescription(std::int32_t index, char16_t* description) {
  if (Lib.Kind == TKind::Tcp && description) {
    WriteWidened("Lodrast", description);
    return;
  }
  if (Lib.Kind == TKind::Fx2 && Fx2 && description) DescribeFx2(index, description);
  if (Lib.Kind != TKind::Ftdi || !Ftdi || !description) return;
  std::string text;
  const bool ok = Ftdi->Description(index, text);
  WriteWidened(text, description);
  if (!ok) Lib.Error.Set("Could not get device descriptor", 1);
}

// The USB product string, with its terminator.
void TDriver::DescribeFx2(std::int32_t index, char16_t* description) {
  fx2::CUsbDevice& device = Fx2->Device();
  if (index < 0 || index > 255 || !device.Open(static_cast<std::uint8_t>(index))) {
    Lib.Error.Set("Could not get device descriptor", 1);
    return;
  }
  const std::u16string& product = device.Product;
  const std::size_t n = std::min({product.size(), product.find(u'\0'), MaxTextUnits - 1});
  std::copy_n(product.begin(), n, description);
  description[n] = 0;
  device.Close();
}

void TDriver::OpenDevice(std::int32_t index) {
  if (Lib.Kind == TKind::Fx2 && Fx2) {
    OpenFx2(index);
    return;
  }
  if (Lib.Kind == TKind::Ftdi && Ftdi) {
    OpenFtdi(index);
    return;
  }
  Lib.Error.Clear();
}

void TDriver::OpenFtdi(std::int32_t index) {
  Ftdi->SetIndex(index);
  std::string description;
  if (!Ftdi->Description(index, description)) {
    Lib.Error.Set("Could not get device description.", 1);
    return;
  }
  if (!Ftdi->OpenByDescription(description)) {
    Lib.Error.Set("Could not open USB channel.", 2);
    return;
  }
  if (!Ftdi->Setup()) return;
  Lib.Error.Clear();
}

// A device the port cannot open (missing permission, gone) fails here
// rather than later as a wrong signature. The lock goes with the device:
// another process that holds it makes this one "already open".
void TDriver::OpenFx2(std::int32_t index) {
  if (index < 0 || index > 255 || !Fx2->Device().Open(static_cast<std::uint8_t>(index))) {
    Lib.Error.Set("Could not open USB channel.", 2);
    return;
  }
  Fx2Lock = std::make_unique<rtl::TNamedLock>(Fx2LockName(index));
  if (!Fx2Lock->TryAcquire()) {
    Fx2Lock.reset();
    Lib.Error.Set("Device already open.", 1);
    return;
  }
  Lib.Error.Clear();
}

std::int32_t TDriver::CloseDevice() {
  if (Lib.Kind == TKind::Fx2 && Fx2) {
    Fx2->Device().Close();
    Fx2Lock.reset();
    return 1;
  }
  if (Lib.Kind == TKind::Ftdi && Ftdi) return Ftdi->Close();
  return 0;
}

void TDriver::InitDevice() {
  if (!Ftdi) Ftdi = std::make_unique<ftdi::TUSBFTDI>(Lib.Error);
  if (!Tcp) Tcp = std::make_unique<tcp::TTcpLink>();
  Model = CreateModel(Lib.Kind, {Lib, *Ftdi, *Tcp, Fx2.get()});
}

bool TDriver::ConfigDevice(bool skipUpload) {
  if (skipUpload) {
    // Demo mode: whatever was listed, the library answers as no device and
    // touches none.
    Lib.Kind = TKind::None;
    InitDevice();
  }
  if (!Model || !Model->Configure()) return false;
  Lib.RamSize = Model->RamSize();
  Lib.Items.Load(Model->Items());
  return true;
}

void TDriver::FreeDevice() {
  if (!Model) return;
  if (Lib.Kind != TKind::None) Model->Shutdown();
  Model.reset();
}

}  // namespace sartel
