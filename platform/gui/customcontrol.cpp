#include "customcontrol.h"

#include "ownwidget_qt.h"
#include "qtaccess_qt.h"

namespace gui {

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner, new detail::TOwnWidget(false)) {
  detail::QtAccess::Attach(*this);
}

TCustomControl::~TCustomControl() { detail::QtAccess::Detach(*this); }

void TCustomControl::Paint() {}

}  // namespace gui
