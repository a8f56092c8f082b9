#pragma once
// The device models the library knows, in one list: which model stands for
// which transport kind.

#include "daqlib.h"
#include "devicemodel.h"
#include "tcplink.h"
#include "usbftdi.h"

#include <memory>

namespace sartel {

struct TModelContext {
  TDAQLib& Lib;
  ftdi::TUSBFTDI& Ftdi;
  tcp::TTcpLink& Tcp;
};

// The model for kind: FTDI THarvik; FX2 and none (demo mode) TKalvenor2;
// TCP TLodrast.
std::unique_ptr<TDeviceModel> CreateModel(TKind kind, const TModelContext& context);

}  // namespace sartel
