#include "application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>
#include <QWidget>

#include <clocale>
#include <stdexcept>
#include <string>
#include <vector>

#include "synchronize.h"

#include "dialogs.h"
#include "dispatcher_qt.h"
#include "form.h"
#include "printer.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "safecall_qt.h"

namespace gui {

TApplication* Application = nullptr;

struct TApplication::Impl {
  std::unique_ptr<QApplication> App;
  std::unique_ptr<detail::TDispatcher> Dispatcher;
  std::vector<std::string> Params;
  std::unique_ptr<TPrinter> Printer;
  bool IdleArmed = true;
  bool IdlePending = false;
};

namespace detail {

void NoteActivity() {
  if (Application) QtAccess::ArmIdle(*Application);
}

void SafeCall(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& error) {
    if (Application) Application->HandleException(error);
  } catch (...) {
    if (Application) Application->HandleException(std::runtime_error(""));
  }
}

}  // namespace detail

TApplication::TApplication(int& argc, char** argv) : TComponent(nullptr), FImpl(std::make_unique<Impl>()) {
  if (Application) throw std::logic_error("one application object per process");
  Application = this;
  for (int i = 0; i < argc; ++i) FImpl->Params.emplace_back(argv[i]);
  // On Unix Qt makes the environment's locale the C library's. Numbers on
  // screen take the user's separator from one setting of their own, so the
  // C library's number conversions keep the locale the process started with.
  const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
  FImpl->App = std::make_unique<QApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, numeric.c_str());
  QApplication::setQuitOnLastWindowClosed(false);
  if (QStyle* style = QStyleFactory::create("Fusion")) QApplication::setStyle(style);
  QApplication::setFont(detail::ToQFont(TFont()));
  FImpl->Dispatcher = std::make_unique<detail::TDispatcher>();
  FImpl->App->installEventFilter(FImpl->Dispatcher.get());
  SetHintColor(FHintColor);
  // Worker threads' Synchronize calls run from the message loop (or any
  // modal loop) of this thread, woken by a queued call.
  rtl::SetMainThread();
  rtl::SetSynchronizeWakeHook([] {
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, [] { detail::SafeCall([] { rtl::CheckSynchronize(); }); },
                                Qt::QueuedConnection);
  });
  QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, FImpl->App.get(),
                   [this] {
                     if (!OnIdle || !FImpl->IdleArmed || FImpl->IdlePending) return;
                     FImpl->IdlePending = true;
                     QTimer::singleShot(0, FImpl->App.get(), [this] {
                       FImpl->IdlePending = false;
                       FImpl->IdleArmed = false;
                       if (!OnIdle) return;
                       TIdleEvent handler = OnIdle;
                       detail::SafeCall([&] {
                         bool done = true;
                         handler(this, done);
                       });
                     });
                   });
}

TApplication::~TApplication() {
  // Returns once no worker is inside the hook any more: a capture thread
  // whose transfer returns just now may be posting to the platform's
  // application, which goes below.
  rtl::SetSynchronizeWakeHook({});
  // Forms and components go while the platform's application still exists.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  FImpl->Printer.reset();
  FImpl->App->removeEventFilter(FImpl->Dispatcher.get());
  FImpl->Dispatcher.reset();
  FImpl->App.reset();
  Application = nullptr;
}

void TApplication::Run() {
  // Calls queued before the loop was there to be woken; one of them may
  // end the program already (an exit request before the loop runs is lost,
  // so Terminated is asked after them).
  detail::SafeCall([] { rtl::CheckSynchronize(); });
  if (FTerminated) return;
  if (FMainForm && FShowMainForm) detail::SafeCall([this] { FMainForm->Show(); });
  if (FTerminated) return;
  QApplication::exec();
}

void TApplication::Terminate() {
  FTerminated = true;
  QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::ProcessMessagesExceptInput() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TApplication::Minimize() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* form = dynamic_cast<TForm*>(detail::QtAccess::ControlOf(w)); form && form->Visible())
      form->SetWindowState(wsMinimized);
}

void TApplication::Restore() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* form = dynamic_cast<TForm*>(detail::QtAccess::ControlOf(w));
        form && form->Visible() && form->WindowState() == wsMinimized)
      form->SetWindowState(wsNormal);
}

int TApplication::ParamCount() const { return static_cast<int>(FImpl->Params.size()) - 1; }

std::string TApplication::ParamStr(int index) const {
  if (index < 0 || index >= static_cast<int>(FImpl->Params.size())) return {};
  return FImpl->Params[static_cast<size_t>(index)];
}

void TApplication::HandleException(const std::exception& error) {
  if (OnException)
    OnException(this, error);
  else
    ShowException(error);
}

void TApplication::ShowException(const std::exception& error) {
  MessageBox(nullptr, detail::Utf8ToU16(error.what()), FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::SetHintColor(TColor color) {
  FHintColor = color;
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, detail::ToQColor(color));
  palette.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(palette);
}

void TApplication::Queue(std::function<void()> call) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  QMetaObject::invokeMethod(app, [call = std::move(call)] { detail::SafeCall(call); }, Qt::QueuedConnection);
}

}  // namespace gui

namespace gui::detail {

void QtAccess::ArmIdle(TApplication& app) { app.FImpl->IdleArmed = true; }

TPrinter& QtAccess::ApplicationPrinter(TApplication& app) {
  if (!app.FImpl->Printer) app.FImpl->Printer = std::make_unique<TPrinter>();
  return *app.FImpl->Printer;
}

}  // namespace gui::detail
