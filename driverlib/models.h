#pragma once
// The device models the library knows, in one list: which model stands for
// which transport kind.

#include "daqlib.h"
#include "devicemodel.h"
#include "usbftdi.h"
#include "usbfx2.h"

#include <memory>

namespace sartel {

struct TModelContext {
  TDAQLib& Lib;
  ftdi::TUSBFTDI& Ftdi;
  // Null when the FX2 transport does not exist: the FX2 kind then gets the
  // demo model.
  fx2::TUSBFX2* Fx2 = nullptr;
};

// The model for kind: FTDI THarvik; FX2 and none (demo mode) TKalvenor2.
// The network model is not built yet: its kind gets no model.
std::unique_ptr<TDeviceModel> CreateModel(TKind kind, const TModelContext& context);

}  // namespace sartel
