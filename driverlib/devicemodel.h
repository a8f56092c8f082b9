#pragma once
// TDeviceModel: what every device model offers the exports. An operation a
// model does not have answers 0 and does nothing, which is what the exports
// give for "this model only" operations on the other models.

#include "itemtables.h"

#include <cstdint>
#include <string_view>

namespace sartel {

class TDeviceModel {
 public:
  virtual ~TDeviceModel() = default;

  virtual TItemTables Items() const = 0;
  // Reads the identity and whatever else fixes the memory size; false when
  // the device could not be configured (the error record says why).
  virtual bool Configure() = 0;
  virtual std::int32_t RamSize() const = 0;
  // Puts the device to rest before the model is deleted.
  virtual void Shutdown() {}

  virtual std::int32_t CaptureProgramming() { return 0; }
  virtual std::int32_t StartCapture() { return 0; }
  virtual std::int32_t StopCapture() { return 0; }
  virtual std::int32_t EndCapture() { return 0; }
  virtual std::int32_t ForceTrigger() { return 0; }
  virtual std::uint8_t ReadStatus() { return 0; }
  virtual std::int32_t WriteAddress() { return 0; }
  virtual void ReadSamples(std::int32_t* /*channelA*/, std::int32_t* /*channelB*/) {}
  virtual std::int32_t CaptureParams(std::int32_t* /*start*/, std::int32_t* /*end*/, std::int32_t* /*revolutions*/) {
    return 0;
  }
  virtual std::int32_t Temperature(double* /*a*/, double* /*b*/) { return 0; }

  // Narrow identity texts as the device holds them.
  virtual std::string_view Identity() const { return {}; }
  virtual std::string_view SerialNumber() const { return {}; }
  virtual std::string_view Version() const { return {}; }
  virtual std::uint8_t ConfigByte(std::int32_t /*position*/) const { return 0; }
  virtual std::int32_t Calibration(std::int32_t /*position*/) const { return 0; }

  virtual std::int32_t StatusLamp(bool /*on*/) { return 0; }
  virtual std::int32_t ErrorLamp(bool /*on*/) { return 0; }
  virtual std::int32_t Laser(bool /*on*/) { return 0; }

  virtual std::int32_t Clear() { return 0; }
  virtual std::int32_t ReadBank(std::int32_t /*bank*/, std::uint8_t* /*buffer*/, std::int32_t /*length*/) {
    return 0;
  }
  virtual std::int32_t WriteBank(std::int32_t /*bank*/, const std::uint8_t* /*data*/, std::int32_t /*length*/) {
    return 0;
  }
  virtual std::int32_t ReadConfigMemory(std::uint8_t* /*buffer256*/) { return 0; }
  virtual std::int32_t WriteConfigMemory(const std::uint8_t* /*data256*/) { return 0; }
};

}  // namespace sartel
