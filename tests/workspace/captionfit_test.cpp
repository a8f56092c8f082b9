// Every caption the workspace shows on its status line and panels fits its
// control at the window's default size, in every language source shipped.
// The controls are found through the key index of each source, which names
// the component that shows each text; the texts the window composes (the
// amplitude header, numbers, units) are checked as the window shows them.

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "bitmap.h"
#include "canvas.h"
#include "langindex.h"
#include "ownerdraw.h"
#include "windowfixture.h"

namespace fs = std::filesystem;

namespace {

// A key that the index says is followed by a number gets the widest one the
// window writes after it (a trim run number, say).
std::u16string ShownText(const TLangKey& key, const std::string& use) {
  std::u16string text = key.Value.substr(0, key.Value.find(u'|'));
  if (use.find("followed by") != std::string::npos) text += u" 88";
  return text;
}

// The width a caption may take: a label its whole width, a framed panel or
// a button what is inside its outline.
int CaptionRoom(const gui::TControl& control) {
  if (dynamic_cast<const TLabelEx*>(&control)) return control.Width();
  return control.Width() - 2;
}

// The font the control draws its caption in: a button keeps its own.
const gui::TFont& CaptionFont(const gui::TControl& control) {
  if (auto* button = dynamic_cast<const TBitmapButton*>(&control)) return button->Font();
  return control.Font();
}

int TextWidth(const gui::TControl& control, const std::u16string& text) {
  gui::TBitmap probe(1, 1);
  probe.Canvas().Font().Assign(CaptionFont(control));
  return probe.Canvas().TextWidth(text);
}

}  // namespace

class CaptionFit : public WorkspaceWindowTest {
 protected:
  // The widest amplitude header: "Vibration: RMS".
  void PrepareCore() override { Core->VibValueType = 1; }

  // Every caption the window shows now fits its control.
  void ExpectShownCaptionsFit() const {
    for (int i = 0; i < Window->ComponentCount(); ++i) {
      auto* control = dynamic_cast<gui::TControl*>(Window->Components(i));
      if (!control || !control->Showing()) continue;
      std::u16string caption;
      if (auto* label = dynamic_cast<TLabelEx*>(control)) caption = ShownCaption(label->CaptionW(), label->Caption());
      if (auto* panel = dynamic_cast<TPanelEx*>(control)) caption = ShownCaption(panel->CaptionW(), panel->Caption());
      if (auto* button = dynamic_cast<TBitmapButton*>(control))
        caption = ShownCaption(button->CaptionW(), button->Caption());
      if (caption.empty()) continue;
      EXPECT_LE(TextWidth(*control, caption), CaptionRoom(*control)) << control->Name();
    }
  }

  // The status-line and panel controls named in one use of the index; a
  // clause about a tool-tip names no caption.
  std::vector<gui::TControl*> Shown(const std::string& use) const {
    std::vector<gui::TControl*> found;
    std::stringstream clauses(use);
    std::string clause;
    while (std::getline(clauses, clause, ';')) {
      if (clause.find("tool-tip") != std::string::npos) continue;
      const std::regex name("[a-zA-Z][a-zA-Z0-9]*");
      for (auto it = std::sregex_iterator(clause.begin(), clause.end(), name); it != std::sregex_iterator(); ++it) {
        auto* control = dynamic_cast<gui::TControl*>(Window->FindComponent(it->str()));
        if (control && (dynamic_cast<TLabelEx*>(control) || dynamic_cast<TPanelEx*>(control) ||
                        dynamic_cast<TBitmapButton*>(control)))
          found.push_back(control);
      }
    }
    return found;
  }
};

TEST_F(CaptionFit, StatusLineAndPanelCaptionsFitTheirControlsInEveryLanguage) {
  int checked = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(ZELTO_LANG_SOURCE_DIR)) {
    if (file.path().extension() != ".xml") continue;
    std::ifstream in(file.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    TLangSource source;
    std::string error;
    ASSERT_TRUE(ParseLangSource(bytes.str(), source, error)) << file.path() << ": " << error;
    for (const TLangUse& use : ReadLangIndex(source)) {
      if (use.Window != "TfBalancing") continue;
      const TLangKey* key = source.FindKey(use.Section, use.Key);
      if (!key) continue;
      const std::u16string text = ShownText(*key, use.Component);
      for (gui::TControl* control : Shown(use.Component)) {
        ++checked;
        EXPECT_LE(TextWidth(*control, text), CaptionRoom(*control))
            << file.path().filename() << " line " << use.Line << ": " << control->Name();
      }
    }
  }
  EXPECT_GT(checked, 20);  // the index names the status line and the panels
  ExpectShownCaptionsFit();
}
