#pragma once
// The printed pages of the oscilloscope and the spectrum window: one channel
// on one landscape page with a title line, the plot in its print variant,
// the capture settings, a grid copying the window's read-out captions as
// they stand, and the footer. The layout is printlayout.h's; this unit runs
// the command and paints the page.

#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "languageservice.h"
#include "printlayout.h"

class TBitmapButton;
class TViewWorkspace;

namespace gui {
class TForm;
}

// What a window puts on its page.
struct TPrintPage {
  bool Spectrum = false;
  // Settings line 3 of the spectrum page: spectrum type and window function.
  std::u16string SpectrumLine;
  // The caption a read-out control shows now.
  std::function<std::u16string(TPrintCell)> Caption;
  // Prints the plot of the channel (1 A, 2 B) into the area.
  std::function<void(int channel, gui::TCanvas& printer, const gui::TRect& area)> PrintPlot;
};

// The print command: with two channels a menu chooses the channel (none:
// nothing is printed), then the workspace's print dialog, then one
// landscape document of one page painted by `paint`.
void RunPrintCommand(gui::TForm& window, TBitmapButton* button, TViewWorkspace& workspace, bool spectrum,
                     const std::function<void(gui::TCanvas& printer, int channel)>& paint);
// The document's title: "Kalvenor Analog Print" or "Kalvenor FFT Print",
// with " (A)" or " (B)" when there are two channels.
std::u16string PrintTitle(bool spectrum, bool twoChannels, int channel);

// Paints the page of a channel onto a printer canvas (the caller opens and
// closes the document).
void PaintViewPage(gui::TCanvas& printer, int channel, const TPrintPage& page, TViewWorkspace& workspace);

// The maker's and product's credit line of the footer.
inline constexpr const char16_t* PrintCreditLine = u"Orvanteq, Kalvenor - universal balancing system";

// The page's texts (section "Forms").
extern const std::vector<TTextKey> PrintLangKeys;
