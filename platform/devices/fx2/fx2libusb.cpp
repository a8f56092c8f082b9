#include "fx2libusb.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <list>
#include <memory>
#include <mutex>
#include <set>

namespace fx2port {
namespace {

// How long a cancelled transfer may take to come back before the abort
// gives up waiting; libusb completes cancelled transfers well within it.
constexpr auto CancelWait = std::chrono::seconds(5);
// One round of event handling; the transfer's own time-out or an abort
// ends the wait, this only keeps each round short.
constexpr int EventRoundMs = 100;
// Rounds of failing event handling before a transfer is cancelled.
constexpr int MaxFailedRounds = 50;

TTransferStatus StatusOf(libusb_transfer_status status) {
  switch (status) {
  case LIBUSB_TRANSFER_COMPLETED:
    return TTransferStatus::Ok;
  case LIBUSB_TRANSFER_TIMED_OUT:
    return TTransferStatus::Timeout;
  case LIBUSB_TRANSFER_STALL:
    return TTransferStatus::Stall;
  case LIBUSB_TRANSFER_CANCELLED:
    return TTransferStatus::Cancelled;
  case LIBUSB_TRANSFER_NO_DEVICE:
    return TTransferStatus::NoDevice;
  default:
    return TTransferStatus::Failed;
  }
}

uint32_t SpeedOf(int speed) {
  switch (speed) {
  case LIBUSB_SPEED_LOW:
    return SpeedLow;
  case LIBUSB_SPEED_FULL:
    return SpeedFull;
  case LIBUSB_SPEED_UNKNOWN:
    return SpeedFull;
  default:
    return SpeedHigh;
  }
}

// A transfer in flight, shared between the thread that runs it and an abort.
struct TActiveTransfer {
  libusb_transfer* transfer = nullptr;
  uint8_t endpoint = 0;
  int completed = 0; // read by libusb's event loop
};

class TLibusbDevice : public TFx2BackendDevice {
public:
  TLibusbDevice(libusb_context* context, libusb_device* device, libusb_device_handle* handle)
      : FContext(context), FDevice(libusb_ref_device(device)), FHandle(handle) {}

  ~TLibusbDevice() override {
    for (int number : FClaimed)
      libusb_release_interface(FHandle, number);
    libusb_close(FHandle);
    libusb_unref_device(FDevice);
  }

  TTransferStatus Transfer(const TUsbTransfer& t, uint8_t* data, uint32_t& transferred) override;
  void Abort(uint8_t endpoint) override;
  TDeviceInfo Info() override;

  // libusb cannot read the setting without a request to the interface, which
  // would claim it; the port never changes it from the default 0.
  bool AlternateSetting(uint8_t, uint8_t& setting) override {
    setting = 0;
    return true;
  }

private:
  static void LIBUSB_CALL OnCompleted(libusb_transfer* transfer);
  bool ClaimInterfaceOf(uint8_t endpoint);
  int InterfaceOf(uint8_t endpoint);
  bool Submit(TActiveTransfer& active);
  void WaitForCompletion(TActiveTransfer& active);

  libusb_context* FContext;
  libusb_device* FDevice;
  libusb_device_handle* FHandle;
  std::set<int> FClaimed;
  std::mutex FMutex;
  std::condition_variable FCompleted;
  std::list<TActiveTransfer*> FActive;
};

void LIBUSB_CALL TLibusbDevice::OnCompleted(libusb_transfer* transfer) {
  auto* self = static_cast<TLibusbDevice*>(transfer->user_data);
  std::lock_guard lock(self->FMutex);
  for (TActiveTransfer* active : self->FActive)
    if (active->transfer == transfer)
      active->completed = 1;
  self->FCompleted.notify_all();
}

int TLibusbDevice::InterfaceOf(uint8_t endpoint) {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(FDevice, &config) != 0)
    return -1;
  int found = -1;
  for (int i = 0; i < config->bNumInterfaces && found < 0; ++i)
    for (int a = 0; a < config->interface[i].num_altsetting && found < 0; ++a) {
      const libusb_interface_descriptor& alt = config->interface[i].altsetting[a];
      for (int e = 0; e < alt.bNumEndpoints; ++e)
        if (alt.endpoint[e].bEndpointAddress == endpoint)
          found = alt.bInterfaceNumber;
    }
  libusb_free_config_descriptor(config);
  return found;
}

// Pipe transfers need their interface claimed; listing and opening never
// claim, so a device held by another process can still be counted.
bool TLibusbDevice::ClaimInterfaceOf(uint8_t endpoint) {
  const int number = InterfaceOf(endpoint);
  if (number < 0)
    return false;
  std::lock_guard lock(FMutex);
  if (FClaimed.count(number))
    return true;
  if (libusb_claim_interface(FHandle, number) != 0)
    return false;
  FClaimed.insert(number);
  return true;
}

bool TLibusbDevice::Submit(TActiveTransfer& active) {
  std::lock_guard lock(FMutex);
  if (libusb_submit_transfer(active.transfer) != 0)
    return false;
  FActive.push_back(&active);
  return true;
}

void TLibusbDevice::WaitForCompletion(TActiveTransfer& active) {
  int failedRounds = 0;
  while (!active.completed) {
    timeval round{0, EventRoundMs * 1000};
    const int result = libusb_handle_events_timeout_completed(FContext, &round, &active.completed);
    if (result < 0 && result != LIBUSB_ERROR_INTERRUPTED && ++failedRounds == MaxFailedRounds)
      libusb_cancel_transfer(active.transfer);
    if (failedRounds > 2 * MaxFailedRounds)
      break;
  }
  std::lock_guard lock(FMutex);
  FActive.remove(&active);
}

TTransferStatus TLibusbDevice::Transfer(const TUsbTransfer& t, uint8_t* data, uint32_t& transferred) {
  transferred = 0;
  if (t.kind == TTransferKind::Pipe && !ClaimInterfaceOf(t.endpoint))
    return TTransferStatus::Failed;
  const bool control = t.kind == TTransferKind::Control;
  const std::size_t header = control ? LIBUSB_CONTROL_SETUP_SIZE : 0;
  auto buffer = std::make_unique<uint8_t[]>(header + t.length);
  if (control)
    libusb_fill_control_setup(buffer.get(), t.setup.requestType, t.setup.request, t.setup.value, t.setup.index,
                              t.setup.length);
  if (!t.in && t.length > 0)
    std::memcpy(buffer.get() + header, data, t.length);

  TActiveTransfer active;
  active.endpoint = control ? 0 : t.endpoint;
  active.transfer = libusb_alloc_transfer(0);
  if (!active.transfer)
    return TTransferStatus::Failed;
  if (control)
    libusb_fill_control_transfer(active.transfer, FHandle, buffer.get(), &OnCompleted, this, t.timeoutMs);
  else
    libusb_fill_bulk_transfer(active.transfer, FHandle, t.endpoint, buffer.get(), static_cast<int>(t.length),
                              &OnCompleted, this, t.timeoutMs);
  if (!Submit(active)) {
    libusb_free_transfer(active.transfer);
    return TTransferStatus::Failed;
  }
  WaitForCompletion(active);
  if (!active.completed) {
    // libusb still owns the transfer and its buffer: leave both rather than
    // free memory it may yet write.
    static_cast<void>(buffer.release());
    return TTransferStatus::Failed;
  }
  const TTransferStatus status = StatusOf(active.transfer->status);
  transferred = static_cast<uint32_t>(std::clamp(active.transfer->actual_length, 0, static_cast<int>(t.length)));
  if (t.in && transferred > 0)
    std::memcpy(data, buffer.get() + header, transferred);
  libusb_free_transfer(active.transfer);
  return status;
}

void TLibusbDevice::Abort(uint8_t endpoint) {
  std::unique_lock lock(FMutex);
  for (TActiveTransfer* active : FActive)
    if (active->endpoint == endpoint && !active->completed)
      libusb_cancel_transfer(active->transfer);
  // The transfer's own thread runs libusb's event loop and takes it off the
  // list once its completion has been handled.
  FCompleted.wait_for(lock, CancelWait, [&] {
    return std::none_of(FActive.begin(), FActive.end(),
                        [&](const TActiveTransfer* a) { return a->endpoint == endpoint && !a->completed; });
  });
}

TDeviceInfo TLibusbDevice::Info() {
  TDeviceInfo info;
  info.address = libusb_get_device_address(FDevice);
  info.speed = SpeedOf(libusb_get_device_speed(FDevice));
  char name[64];
  std::snprintf(name, sizeof name, "usb-%03u-%03u", libusb_get_bus_number(FDevice), info.address);
  info.deviceName = name;
  info.friendlyName = "FX2 USB device";
  return info;
}

bool Matches(const std::vector<TUsbId>& ids, const libusb_device_descriptor& d) {
  return std::find(ids.begin(), ids.end(), TUsbId{d.idVendor, d.idProduct}) != ids.end();
}

} // namespace

TLibusbBackend::TLibusbBackend(std::vector<TUsbId> ids, TInitFunction init) : FIds(std::move(ids)) {
  if (!init)
    init = [](libusb_context** context) { return libusb_init(context); };
  if (init(&FContext) != 0)
    FContext = nullptr;
}

TLibusbBackend::~TLibusbBackend() {
  if (FContext)
    libusb_exit(FContext);
}

int TLibusbBackend::DeviceCount() {
  if (!FContext || FIds.empty())
    return 0;
  libusb_device** list = nullptr;
  const ssize_t n = libusb_get_device_list(FContext, &list);
  int count = 0;
  for (ssize_t i = 0; i < n; ++i) {
    libusb_device_descriptor d;
    if (libusb_get_device_descriptor(list[i], &d) == 0 && Matches(FIds, d))
      ++count;
  }
  if (list)
    libusb_free_device_list(list, 1);
  return count;
}

std::unique_ptr<TFx2BackendDevice> TLibusbBackend::Open(int index) {
  if (!FContext || FIds.empty() || index < 0)
    return nullptr;
  libusb_device** list = nullptr;
  const ssize_t n = libusb_get_device_list(FContext, &list);
  std::unique_ptr<TFx2BackendDevice> opened;
  int match = 0;
  for (ssize_t i = 0; i < n; ++i) {
    libusb_device_descriptor d;
    if (libusb_get_device_descriptor(list[i], &d) != 0 || !Matches(FIds, d) || match++ != index)
      continue;
    libusb_device_handle* handle = nullptr;
    if (libusb_open(list[i], &handle) == 0)
      opened = std::make_unique<TLibusbDevice>(FContext, list[i], handle);
    break;
  }
  if (list)
    libusb_free_device_list(list, 1);
  return opened;
}

} // namespace fx2port
