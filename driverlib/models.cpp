#include "models.h"

#include "harvik.h"
#include "kalvenor2.h"
#include "lodrast.h"

namespace sartel {

std::unique_ptr<TDeviceModel> CreateModel(TKind kind, const TModelContext& context) {
  switch (kind) {
    case TKind::Ftdi:
      return std::make_unique<harvik::THarvik>(context.Lib, context.Ftdi);
    case TKind::Fx2:
      if (context.Fx2) return std::make_unique<kalvenor2::TKalvenor2>(context.Lib, *context.Fx2);
      return std::make_unique<kalvenor2::TKalvenor2>();
    case TKind::None:
      return std::make_unique<kalvenor2::TKalvenor2>();
    case TKind::Tcp:
      return std::make_unique<lodrast::TLodrast>(context.Lib, context.Tcp);
  }
  return nullptr;
}

}  // namespace sartel
