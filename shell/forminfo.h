#pragma once
// TfInfo: the about box. It names the connected device (description, serial
// number, device version; the demo description and two empty texts in demo
// mode) and the program's file version. Modal; Esc, bClose and bCloseS
// close it.

#include <array>
#include <string>
#include <string_view>

#include "languageservice.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;

namespace gui {
class TImage;
class TLabel;
}  // namespace gui

// The version text the box shows: "?.?.?.?" when the program has none.
std::u16string FileVersionText(std::u16string_view version);

class TfInfo : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 6> LangKeys = {{
      {u"Forms", u"About"},
      {u"Forms", u"Close"},
      {u"Forms", u"Device"},
      {u"Forms", u"SerialNumber"},
      {u"Forms", u"Version"},
      {u"Forms", u"SoftwareVersion"},
  }};

  explicit TfInfo(gui::TComponent* owner);

  TBitmapButton* bCloseS = nullptr;
  TLabelEx* leDevice = nullptr;
  TLabelEx* leDeviceName = nullptr;
  TLabelEx* leSerial = nullptr;
  TLabelEx* leSerialNumber = nullptr;
  TLabelEx* leReleaseVer = nullptr;
  TLabelEx* leReleaseVerNumber = nullptr;
  gui::TImage* Image2 = nullptr;
  gui::TLabel* Label5 = nullptr;
  TBitmapButton* bClose = nullptr;
  gui::TImage* Image1 = nullptr;
  TLabelEx* leVersion = nullptr;
  TLabelEx* leVersionNumber = nullptr;

 protected:
  void DoShow() override;

 private:
  TLabelEx* CreateRowLabel(int left, int top, int width, bool value);
};
