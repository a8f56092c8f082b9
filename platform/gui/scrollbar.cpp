#include "scrollbar.h"

#include <QScrollBar>

#include <algorithm>
#include <stdexcept>

#include "qtaccess_qt.h"
#include "safecall_qt.h"

namespace gui {

namespace {

QScrollBar* Bar(const TControl& c) { return static_cast<QScrollBar*>(detail::QtAccess::Widget(c)); }

}  // namespace

int ScrollMaxPosition(int min, int max, int pageSize) { return std::max(min, max - std::max(pageSize - 1, 0)); }

int ClampScrollPosition(int position, int min, int max, int pageSize) {
  return std::clamp(position, min, ScrollMaxPosition(min, max, pageSize));
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner, new QScrollBar(Qt::Horizontal)) {
  SetBounds(0, 0, 121, 16);
  SetTabStop(true);
  // Right and Down move toward Max, as on the platform the windows were
  // drawn for (Qt inverts the keys of horizontal scroll bars).
  Bar(*this)->setInvertedControls(false);
  UpdateWidget();
  QObject::connect(Bar(*this), &QScrollBar::valueChanged, Bar(*this), [this](int v) { UserMoved(v); });
}

void TScrollBar::SetKind(TScrollBarKind kind) {
  FKind = kind;
  Bar(*this)->setOrientation(kind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
  Bar(*this)->setInvertedControls(kind == sbVertical);
  if ((kind == sbVertical) != (Height() > Width())) SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw std::out_of_range("Scroll bar property out of range");
  FMin = min;
  FMax = max;
  const int clamped = ClampScrollPosition(position, FMin, FMax, FPageSize);
  const bool changed = clamped != FPosition;
  FPosition = clamped;
  UpdateWidget();
  if (changed) Change();
}

void TScrollBar::SetPageSize(int pageSize) {
  FPageSize = std::max(0, pageSize);
  SetParams(FPosition, FMin, FMax);
}

void TScrollBar::SetSmallChange(int change) {
  FSmallChange = change;
  UpdateWidget();
}

void TScrollBar::SetLargeChange(int change) {
  FLargeChange = change;
  UpdateWidget();
}

void TScrollBar::UpdateWidget() {
  QScrollBar* bar = Bar(*this);
  const QSignalBlocker block(bar);
  bar->setRange(FMin, ScrollMaxPosition(FMin, FMax, FPageSize));
  bar->setPageStep(FPageSize > 0 ? FPageSize : FLargeChange);
  bar->setSingleStep(FSmallChange);
  bar->setValue(FPosition);
}

void TScrollBar::UserMoved(int position) {
  if (position == FPosition) return;
  FPosition = position;
  detail::SafeCall([this] { Change(); });
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::UpdateFocusPolicy() { Bar(*this)->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::NoFocus); }

}  // namespace gui
