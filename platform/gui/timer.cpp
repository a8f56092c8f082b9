#include "timer.h"

#include <QTimer>

#include "safecall_qt.h"

namespace gui {

struct TTimer::Impl {
  QTimer Timer;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner), FImpl(std::make_unique<Impl>()) {
  QObject::connect(&FImpl->Timer, &QTimer::timeout, &FImpl->Timer, [this] {
    if (OnTimer) detail::SafeCall([this] { OnTimer(this); });
  });
  Update();
}

TTimer::~TTimer() = default;

void TTimer::SetInterval(int ms) {
  FInterval = ms < 0 ? 0 : ms;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  FEnabled = enabled;
  Update();
}

void TTimer::Update() {
  if (FEnabled && FInterval > 0)
    FImpl->Timer.start(FInterval);
  else
    FImpl->Timer.stop();
}

}  // namespace gui
