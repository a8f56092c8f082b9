#include "program.h"

#include "application.h"
#include "formbalancing.h"
#include "formdebug.h"
#include "formatting.h"
#include "formlog.h"
#include "init.h"
#include "numericlocale.h"

void RunProgram(gui::TApplication& application) {
  // Numbers on screen and paper follow the user's locale, read once here;
  // files keep their locale-free text.
  DecimalSeparator = rtl::UserDecimalSeparator();
  // The start-up window ends the application when the path functions
  // cannot be bound: no later window is created then, so none reaches the
  // core. A log that can't be written is told, and the program runs on.
  auto* init = new TfInit(&application);
  if (application.Terminated()) return;
  auto* debug = new TfDebug(&application);
  auto* log = new TfLog(&application);
  auto* balancing = new TfBalancing(&application);
  balancing->Log = log;
  log->Workspace = balancing;
  init->SetWindows(debug, log, balancing);
  init->Show();
  application.Run();
}
