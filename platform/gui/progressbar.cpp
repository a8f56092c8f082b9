#include "progressbar.h"

#include <QProgressBar>

#include <algorithm>

#include "qtaccess_qt.h"

namespace gui {

namespace {

QProgressBar* Bar(const TControl& c) { return static_cast<QProgressBar*>(detail::QtAccess::Widget(c)); }

}  // namespace

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner, new QProgressBar) {
  Bar(*this)->setTextVisible(false);
  SetBounds(0, 0, 150, 16);
  SetRange(0, 100);
}

void TProgressBar::SetRange(int min, int max) {
  FMin = min;
  FMax = std::max(min, max);
  Bar(*this)->setRange(FMin, FMax);
  SetPosition(FPosition);
}

void TProgressBar::SetPosition(int position) {
  FPosition = std::clamp(position, FMin, FMax);
  Bar(*this)->setValue(FPosition);
}

}  // namespace gui
