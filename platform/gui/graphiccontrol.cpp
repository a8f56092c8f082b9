#include "graphiccontrol.h"

#include "ownwidget_qt.h"
#include "qtaccess_qt.h"

namespace gui {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner, new detail::TOwnWidget(true)) {
  detail::QtAccess::Attach(*this);
}

TGraphicControl::~TGraphicControl() { detail::QtAccess::Detach(*this); }

void TGraphicControl::Paint() {}

}  // namespace gui
