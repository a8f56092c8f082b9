#include "fx2port.h"

#include "fx2requestmap.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace fx2port {

// One transfer on its way: private copies of the data, and where the result
// goes once the caller collects it.
struct TPortJob {
  std::shared_ptr<TFx2BackendDevice> device;
  TUsbTransfer transfer;
  std::vector<uint8_t> data;
  uint8_t* output = nullptr;    // the caller's output buffer
  uint8_t* recordOut = nullptr; // the record that receives the status words
  std::mutex mutex;
  std::condition_variable completed;
  bool done = false;
  uint32_t transferred = 0;
  TCompletion completion;
};

namespace {

void RunJob(TPortJob& job) {
  uint32_t transferred = 0;
  TTransferStatus status = TTransferStatus::Failed;
  try {
    status = job.device->Transfer(job.transfer, job.data.data(), transferred);
  } catch (...) {
    status = TTransferStatus::Failed;
  }
  const TCompletion completion = CompleteRequest(job.transfer, status, transferred);
  std::lock_guard lock(job.mutex);
  job.transferred = std::min(transferred, job.transfer.length);
  job.completion = completion;
  job.done = true;
  job.completed.notify_all();
}

// Hands the result to the caller's buffers; runs on the caller's thread.
void Deliver(const TPortJob& job) {
  if (job.transfer.in && job.transferred > 0)
    std::memcpy(job.output + job.transfer.dataOffset, job.data.data(), job.transferred);
  if (job.recordOut)
    StoreRecordStatus(std::span<uint8_t, RequestRecordSize>(job.recordOut, RequestRecordSize),
                      job.completion.ntStatus, job.completion.usbdStatus);
}

uint32_t PutBytes(const void* value, uint32_t size, uint8_t* output, uint32_t outputSize, uint32_t& returned) {
  if (!output || outputSize < size)
    return ErrorInvalidParameter;
  std::memcpy(output, value, size);
  returned = size;
  return ErrorSuccess;
}

uint32_t PutName(const std::string& name, uint8_t* output, uint32_t outputSize, uint32_t& returned) {
  uint8_t field[DeviceNameSize] = {};
  std::memcpy(field, name.data(), std::min(name.size(), DeviceNameSize - 1));
  return PutBytes(field, DeviceNameSize, output, outputSize, returned);
}

} // namespace

TFx2Overlapped::~TFx2Overlapped() {
  if (FWorker.joinable())
    FWorker.join();
}

bool TFx2Overlapped::Wait(uint32_t timeoutMs) {
  if (!FJob)
    return true;
  std::unique_lock lock(FJob->mutex);
  return FJob->completed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return FJob->done; });
}

TFx2Port::TFx2Port(std::unique_ptr<TFx2Backend> backend) : FBackend(std::move(backend)) {}

TFx2Port::~TFx2Port() {
  std::lock_guard lock(FMutex);
  FDevices.clear();
}

int TFx2Port::DeviceCount() { return FBackend ? std::max(0, FBackend->DeviceCount()) : 0; }

TPortHandle TFx2Port::Open(int index) {
  if (!FBackend || index < 0)
    return InvalidPortHandle;
  std::shared_ptr<TFx2BackendDevice> device = FBackend->Open(index);
  if (!device)
    return InvalidPortHandle;
  std::lock_guard lock(FMutex);
  const TPortHandle handle = FNextHandle++;
  FDevices.emplace(handle, std::move(device));
  return handle;
}

bool TFx2Port::Close(TPortHandle handle) {
  std::lock_guard lock(FMutex);
  return FDevices.erase(handle) == 1;
}

std::shared_ptr<TFx2BackendDevice> TFx2Port::Device(TPortHandle handle) {
  std::lock_guard lock(FMutex);
  const auto it = FDevices.find(handle);
  return it == FDevices.end() ? nullptr : it->second;
}

uint32_t TFx2Port::IoControl(TPortHandle handle, uint32_t code, void* input, uint32_t inputSize, void* output,
                             uint32_t outputSize, uint32_t& returned, TFx2Overlapped* overlapped) {
  returned = 0;
  std::shared_ptr<TFx2BackendDevice> device = Device(handle);
  if (!device)
    return ErrorInvalidHandle;
  if (!input && inputSize > 0)
    return ErrorInvalidParameter;
  auto* in = static_cast<uint8_t*>(input);
  auto* out = static_cast<uint8_t*>(output);
  switch (code) {
  case IoctlControlTransfer:
  case IoctlBufferedTransfer:
  case IoctlDirectTransfer:
    return StartTransfer(std::move(device), code, in, inputSize, out, outputSize, returned, overlapped);
  default:
    return Query(*device, code, in, inputSize, out, outputSize, returned);
  }
}

uint32_t TFx2Port::Query(TFx2BackendDevice& device, uint32_t code, const uint8_t* input, uint32_t inputSize,
                         uint8_t* output, uint32_t outputSize, uint32_t& returned) {
  switch (code) {
  case IoctlAbortPipe:
    if (inputSize < 1)
      return ErrorInvalidParameter;
    device.Abort(input[0]);
    return ErrorSuccess;
  case IoctlAlternateSetting: {
    uint8_t setting = 0;
    if (inputSize < 1 || !device.AlternateSetting(input[0], setting))
      return inputSize < 1 ? ErrorInvalidParameter : ErrorGenFailure;
    return PutBytes(&setting, 1, output, outputSize, returned);
  }
  case IoctlDriverVersion:
  case IoctlUsbdiVersion:
  case IoctlSpeed: {
    const TDeviceInfo info = device.Info();
    const uint32_t value =
        code == IoctlSpeed ? info.speed : code == IoctlDriverVersion ? info.driverVersion : info.usbdiVersion;
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return PutBytes(bytes, 4, output, outputSize, returned);
  }
  case IoctlAddress: {
    const uint8_t address = device.Info().address;
    return PutBytes(&address, 1, output, outputSize, returned);
  }
  case IoctlDeviceName:
    return PutName(device.Info().deviceName, output, outputSize, returned);
  case IoctlFriendlyName:
    return PutName(device.Info().friendlyName, output, outputSize, returned);
  default:
    return ErrorInvalidParameter;
  }
}

uint32_t TFx2Port::StartTransfer(std::shared_ptr<TFx2BackendDevice> device, uint32_t code, uint8_t* input,
                                 uint32_t inputSize, uint8_t* output, uint32_t outputSize, uint32_t& returned,
                                 TFx2Overlapped* overlapped) {
  if (!input || (!output && outputSize > 0))
    return ErrorInvalidParameter;
  const TMappedRequest mapped = MapRequest(code, std::span<const uint8_t>(input, inputSize), outputSize);
  if (mapped.error != ErrorSuccess)
    return mapped.error;
  if (overlapped && overlapped->FJob)
    return ErrorInvalidParameter;

  auto job = std::make_shared<TPortJob>();
  job->device = std::move(device);
  job->transfer = mapped.transfer;
  job->output = output;
  const TUsbTransfer& t = job->transfer;
  const uint8_t* source = t.direct ? output : input + t.dataOffset;
  job->data.assign(t.length, 0);
  if (!t.in && t.length > 0)
    std::memcpy(job->data.data(), source, t.length);
  if (t.direct) {
    job->recordOut = input;
  } else {
    std::memmove(output, input, RequestRecordSize);
    job->recordOut = output;
  }

  if (!overlapped) {
    RunJob(*job);
    Deliver(*job);
    returned = job->completion.bytesReturned;
    return job->completion.error;
  }
  try {
    overlapped->FWorker = std::thread([job] { RunJob(*job); });
  } catch (...) {
    return ErrorGenFailure;
  }
  overlapped->FJob = std::move(job);
  return ErrorIoPending;
}

bool TFx2Port::GetOverlappedResult(TFx2Overlapped& overlapped, uint32_t& returned, uint32_t& error) {
  returned = 0;
  if (!overlapped.FJob) {
    error = ErrorInvalidParameter;
    return false;
  }
  {
    std::lock_guard lock(overlapped.FJob->mutex);
    if (!overlapped.FJob->done) {
      error = ErrorIoIncomplete;
      return false;
    }
  }
  overlapped.FWorker.join();
  const std::shared_ptr<TPortJob> job = std::move(overlapped.FJob);
  Deliver(*job);
  returned = job->completion.bytesReturned;
  error = job->completion.error;
  return error == ErrorSuccess;
}

} // namespace fx2port
