#pragma once
// The device models the library knows, in one list: which model stands for
// which transport kind.

#include "daqlib.h"
#include "devicemodel.h"
#include "tcplink.h"
#include "usbftdi.h"
#include "usbfx2.h"

#include <memory>

namespace sartel {

struct TModelContext {
  TDAQLib& Lib;
  ftdi::TUSBFTDI& Ftdi;
  tcp::TTcpLink& Tcp;
  // Null when the FX2 transport does not exist: the FX2 kind then gets the
  // demo model.
  fx2::TUSBFX2* Fx2 = nullptr;
};

// The model for kind: FTDI THarvik; FX2 and none (demo mode) TKalvenor2;
// TCP TLodrast.
std::unique_ptr<TDeviceModel> CreateModel(TKind kind, const TModelContext& context);

}  // namespace sartel
