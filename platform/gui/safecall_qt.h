#pragma once
// Every call from the platform's event loop into the program's code goes
// through SafeCall: an exception that leaves a handler is shown by the
// application object instead of crossing the event loop.

#include <functional>

namespace gui::detail {

void SafeCall(const std::function<void()>& call);

}  // namespace gui::detail
