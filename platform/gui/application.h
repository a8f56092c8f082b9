#pragma once
// TApplication: the one application object. It owns the platform's
// application, runs the message loop (the program's one main loop, which
// also serves worker threads' Synchronize calls), knows the main form,
// offers a one-shot idle hook, ProcessMessages, the command-line
// parameters, and shows exceptions that leave event handlers.

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "color.h"
#include "component.h"

namespace gui {

class TForm;

using TIdleEvent = std::function<void(TComponent* sender, bool& done)>;
using TExceptionEvent = std::function<void(TComponent* sender, const std::exception& error)>;

class TApplication : public TComponent {
 public:
  // One per process, before any form; argv must outlive the object.
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  // Title of the program (message boxes without one use it).
  const std::u16string& Title() const { return FTitle; }
  void SetTitle(const std::u16string& title) { FTitle = title; }

  // The first form created, whether shown or hidden; closing it ends Run.
  TForm* MainForm() const { return FMainForm; }
  // Shows the main form (unless ShowMainForm is off), then runs the message
  // loop until Terminate; returns at once when Terminate came before.
  void Run();
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool show) { FShowMainForm = show; }
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles every event that is waiting, then returns.
  void ProcessMessages();
  // The same but for user input (keys, mouse), which stays queued: the
  // windows repaint and timers run while a command waits, and no second
  // command starts inside it.
  void ProcessMessagesExceptInput();
  // Minimises every visible form (the whole program) / shows them again.
  void Minimize();
  void Restore();

  // Parameters of the command line; ParamStr(0) is the program's path.
  int ParamCount() const;
  std::string ParamStr(int index) const;

  // Called when the event queue runs dry; it runs once per idle moment,
  // and again only after new input arrived. A handler that removes itself
  // runs exactly once. `done` is passed as true.
  TIdleEvent OnIdle;
  // Called for an exception that left an event handler; without a handler
  // ShowException shows it.
  TExceptionEvent OnException;
  void HandleException(const std::exception& error);
  // An error box with the exception's message (UTF-8 text of what()).
  void ShowException(const std::exception& error);

  // Colour of the tool-tip windows.
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor color);

  // Runs `call` on the main thread from the message loop (or a modal loop).
  // Safe from any thread while the application object lives.
  static void Queue(std::function<void()> call);

 private:
  friend struct detail::QtAccess;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FShowMainForm = true;
  std::u16string FTitle;
  TColor FHintColor = 0xE1FFFF;
};

// The application object while it lives, else nullptr.
extern TApplication* Application;

}  // namespace gui
