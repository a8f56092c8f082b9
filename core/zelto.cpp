#include "zelto.h"

#include <algorithm>

#include "events.h"
#include "folders.h"
#include "spectrumthread.h"

TZelto* TheCore = nullptr;

// Entries 1..17 follow the configuration keys "WorkBack" .. "WorkGWBC";
// entries 0, 18 and 19 are not used.
const std::array<uint32_t, WorkColorCount> DefaultWorkColors = {
    0,
    0xFFFFFF,  // WorkBack
    0xD0D0D0,  // WorkGrid
    0x0080FF,  // WorkChA
    0xFF0080,  // WorkChB
    0x606060,  // WorkText1
    0x000000,  // WorkText2
    0x0000FF,  // WorkCurX
    0xFF0000,  // WorkCurY
    0xFF00FF,  // WorkCurT
    0xF3F3F3,  // WorkFill
    0xDBE7F3,  // WorkChACr
    0xF3DBE7,  // WorkChBCr
    0x00C000,  // WorkVDiv1
    0xC07F00,  // WorkVDiv2
    0x466439,  // WorkGWBA
    0x466439,  // WorkGWBB
    0x466439,  // WorkGWBC
    0,
    0,
};

std::u16string TextOf(const TDeviceText& text) {
  const auto end = std::find(text.begin(), text.end(), u'\0');
  return std::u16string(text.begin(), end);
}

void SetText(TDeviceText& text, std::u16string_view value) {
  text.fill(u'\0');
  // One unit stays zero so the text is always terminated.
  const size_t count = std::min(value.size(), text.size() - 1);
  std::copy_n(value.begin(), count, text.begin());
}

TZelto::TZelto() : WorkColors(DefaultWorkColors) {
  CreateSpectrumEvent();
  SetUpFolders();
}

// A spectrum thread let go by its window may still be ending: it uses the
// core until it has.
TZelto::~TZelto() {
  AwaitSpectrumThreads(*this);
  if (TheCore == this) TheCore = nullptr;
}

void TZelto::CreateSpectrumEvent() {
  // Auto-reset: each set wakes the spectrum thread for exactly one
  // computation. A set left over from an earlier holder of the name must not
  // start a computation, hence the reset.
  SpectrumEvent = rtl::CreateNamedEvent(u"VibCalculateSpectrum", false, false);
  if (SpectrumEvent) SpectrumEvent->ResetEvent();
}

void TZelto::SetUpFolders() {
  ProgramDir = rtl::ProgramDir();
  const std::u16string userData = rtl::UserDataDir();
  // Without a per-user data folder nothing is created and the data paths
  // stay empty; the file routines then fail with their own results.
  if (userData.empty()) return;
  AppDataDir = userData + u"Orvanteq/Kalvenor/";
  rtl::ForceDirectories(AppDataDir);
  AutoSessionFile = AppDataDir + u"!session.daqsession";
  AutoDataFile = AppDataDir + u"!session.daqdata";
}
