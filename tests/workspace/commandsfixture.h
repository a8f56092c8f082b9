#pragma once
// The workspace window with a log of its own on the offscreen platform, a
// fresh data folder, and the helpers of the command suites: scripted menu
// answers, the report printed into a PDF and read back, the log's text.
// The suites' main (workspacecommands_test.cpp) opens the English language
// file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>

#include "answerhook.h"
#include "commandoutput.h"
#include "corefixture.h"
#include "datafolder.h"
#include "folders.h"
#include "formbalancing.h"
#include "formlog.h"
#include "labelex.h"
#include "languageservice.h"
#include "popupmenu.h"
#include "textconv.h"
#include "workspacemenus.h"
#include "zelto.h"

namespace commandstest {

namespace fs = std::filesystem;

inline std::string Output(const std::string& command) { return testsupport::CommandOutput(command); }

inline std::string Narrow(std::u16string_view text) { return rtl::Utf16ToUtf8(text); }

inline std::u16string Forms(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

// Answers a popup menu with `id` after letting `inspect` look at it.
inline gui::TAnswerScript::TAction MenuAnswer(int id, std::function<void(const gui::TPopupMenu&)> inspect = {}) {
  return [id, inspect](const gui::TDialogRequest& r) {
    if (inspect && r.Menu) inspect(*r.Menu);
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{id, {}});
  };
}

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = testsupport::MakeDataFolder("zelto-commands");
    ASSERT_FALSE(Folder.empty());
    Core = std::make_unique<TZelto>();
    TheCore = Core.get();
    Log = std::make_unique<TfLog>(nullptr);
    Window = new TfBalancing(nullptr);
    Window->Log = Log.get();
    Window->Show();
  }

  void TearDown() override {
    delete Window;
    Log.reset();
    Core.reset();
    TheCore = nullptr;
    testsupport::RemoveDataFolder(Folder);
  }

  void Measure(int run, double amplA, double phA, double freq = 25.0, double amplB = 0, double phB = 0) {
    MarkMeasured(*Core, run, amplA, phA, freq, amplB, phB);
  }

  // A one-plane job with a defined rotor, its correction and `trims` trim
  // runs, at its last step.
  void OnePlaneJob(int trims) {
    Core->VibSensorA = {u"Probe A", 100, stAcceleration, 2, 10000};
    Core->VibSensorB = {u"Probe B", 100, stAcceleration, 2, 10000};
    // The sensors of the job are in this PC's sensor list.
    for (const SensorInfo* sensor : {&Core->VibSensorA, &Core->VibSensorB})
      ASSERT_EQ(Core->SaveSensor(sensor->Name, *sensor, false), TZelto::ssrSaved);
    Core->Rotor = {1, 100, 100, 300, 0, 0, 1, 1, 20, 50, 6};
    Core->Session = {{2024, 6, 1}, "Hall 2", "Jane Roe", "Acme", "Fan 7", "Impeller"};
    Core->Owner = u"Field service";
    Measure(0, 200, 1.0);
    Measure(1, 300, 2.0);
    Core->Results[3].Result = {1.5, std::numbers::pi / 2, 0, 0};
    for (int i = 0; i < trims; ++i) {
      Measure(4 + i, 100.0 / (i + 1), 0.5);
      Core->Results[4 + i].Result = {0.5 / (i + 1), std::numbers::pi / 4, 0, 0};
    }
    Core->BalancingStep = Core->HighestStep = 3 + trims;
    Window->RefreshResults();
  }

  std::string LogText() const {
    std::ifstream in(rtl::NativePath(Log->LogPath), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::u16string File(const char* name) const { return rtl::Utf8ToUtf16((Folder / name).string()); }

  // Prints the report through its menu item and the print dialog into a PDF
  // of that name, and reads its text back; empty when nothing was printed.
  std::string PrintedReportText(const char* name) {
    const fs::path pdf = Folder / name;
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, rmReport);
    script.Expect(gui::dkPrintDialog, 1, pdf.string());
    Window->bReport->Click();
    if (!fs::exists(pdf)) return {};
    return Output("pdftotext -layout '" + pdf.string() + "' -");
  }

  // A program start from the automatic pair, as the start-up does it: a new
  // core reads the pair (a failed read leaves an empty job), and a new log
  // and workspace open at its step.
  void RestartFromTheAutomaticPair() {
    delete Window;
    Window = nullptr;
    Log.reset();
    const int32_t ramSize = Core->RamSize;
    Core = std::make_unique<TZelto>();
    TheCore = Core.get();
    Core->RamSize = ramSize;
    if (!TZelto::SessionLoaded(Core->LoadSession())) Core->ClearMeasurements();
    Log = std::make_unique<TfLog>(nullptr);
    Window = new TfBalancing(nullptr);
    Window->Log = Log.get();
    Window->ShowAfterStart(Core->BalancingStep);
  }


  std::u16string Caption(const char* name) const {
    auto* label = dynamic_cast<TLabelEx*>(Window->FindComponent(name));
    return label ? label->CaptionW() : u"<missing>";
  }

  fs::path Folder;
  std::unique_ptr<TZelto> Core;
  std::unique_ptr<TfLog> Log;
  TfBalancing* Window = nullptr;
};

}  // namespace commandstest
