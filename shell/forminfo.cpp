#include "forminfo.h"

#include "bitmapbutton.h"
#include "image.h"
#include "label.h"
#include "labelex.h"
#include "panel.h"
#include "programversion.h"
#include "zelto.h"

namespace {

enum TInfoText : size_t { itAbout, itClose, itDevice, itSerialNumber, itVersion, itSoftwareVersion };

const TTextKey& Key(TInfoText text) { return TfInfo::LangKeys[text]; }

constexpr int PanelWidth = 398;
constexpr int PanelHeight = 250;

gui::TBitmap BannerPicture() {
  gui::TBitmap banner(PanelWidth, 113);
  gui::TCanvas& c = banner.Canvas();
  c.Brush() = {FrameActiveColor, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, banner.Width(), banner.Height()));
  c.SetBkMode(gui::bkTransparent);
  c.Font().SetName("Arial");
  c.Font().SetStyle(gui::fsBold);
  c.Font().SetHeight(-44);
  c.Font().SetColor(CaptionActiveText);
  c.TextOut(24, 18, std::u16string_view(u"Zelto"));
  c.Font().SetHeight(-14);
  c.Font().SetStyle(0);
  c.Font().SetColor(WorkPanelColor);
  c.TextOut(26, 74, std::u16string_view(u"Vibration measurement and field balancing"));
  return banner;
}

gui::TBitmap LogoPicture() {
  gui::TBitmap logo(56, 18);
  gui::TCanvas& c = logo.Canvas();
  c.Brush() = {FrameActiveColor, gui::bsSolid};
  c.FillRect(gui::Rect(0, 0, logo.Width(), logo.Height()));
  c.SetBkMode(gui::bkTransparent);
  c.Font().SetName("Arial");
  c.Font().SetStyle(gui::fsBold);
  c.Font().SetHeight(-11);
  c.Font().SetColor(gui::clWhite);
  gui::TRect r = gui::Rect(0, 0, logo.Width(), logo.Height());
  c.DrawText(std::u16string_view(u"Orvanteq"), r, gui::DT_CENTER | gui::DT_VCENTER | gui::DT_SINGLELINE);
  return logo;
}

std::u16string DeviceText(const TDeviceText TZelto::*field) { return TheCore ? TextOf(TheCore->*field) : u""; }

}  // namespace

std::u16string FileVersionText(std::u16string_view version) {
  return version.empty() ? std::u16string(u"?.?.?.?") : std::u16string(version);
}

TfInfo::TfInfo(gui::TComponent* owner) : TWindowFrame(owner, FrameInfo) {
  LayoutFrame(PanelWidth, PanelHeight);
  SetPosition(gui::poOwnerFormCenter);
  bCloseS = CreateStripCloseButton();

  Image1 = new gui::TImage(this);
  Image1->SetParent(pWindow);
  Image1->SetBounds(0, 0, PanelWidth, 113);
  Image1->SetPicture(BannerPicture());

  leDevice = CreateRowLabel(17, 124, 120, false);
  leDeviceName = CreateRowLabel(146, 124, 244, true);
  leSerial = CreateRowLabel(17, 140, 120, false);
  leSerialNumber = CreateRowLabel(146, 140, 244, true);
  leVersion = CreateRowLabel(17, 156, 120, false);
  leVersionNumber = CreateRowLabel(146, 156, 244, true);
  leReleaseVer = CreateRowLabel(17, 181, 120, false);
  leReleaseVerNumber = CreateRowLabel(146, 181, 244, true);

  Image2 = new gui::TImage(this);
  Image2->SetParent(pWindow);
  Image2->SetBounds(17, 209, 56, 18);
  Image2->SetPicture(LogoPicture());

  Label5 = new gui::TLabel(this);
  Label5->SetParent(pWindow);
  Label5->SetBounds(18, 229, 280, 14);
  Label5->SetCaption("Copyright \xC2\xA9 Orvanteq. All rights reserved.");

  bClose = new TBitmapButton(this);
  bClose->SetParent(pWindow);
  bClose->SetBounds(PanelWidth - 8 - 75, PanelHeight - 8 - 25, 75, 25);
  bClose->Font().SetStyle(gui::fsBold);
  bClose->Font().SetColor(gui::clBlack);
  bClose->SetBorderColor(gui::clGray);
  bClose->SetBorderOver(gui::clYellow);
  bClose->SetParentColor(true);
  bClose->OnClick = [this](gui::TComponent*) { Close(); };

  EscapeAction = [this] { Close(); };
}

TLabelEx* TfInfo::CreateRowLabel(int left, int top, int width, bool value) {
  auto* label = new TLabelEx(this);
  label->SetParent(pWindow);
  label->SetAutoSize(false);
  label->SetBounds(left, top, width, 14);
  label->Font().SetColor(gui::clBlack);
  if (value) {
    // The device's own texts and the version: every "&" is theirs.
    label->SetShowAccelChar(false);
    label->Font().SetStyle(gui::fsBold);
  }
  return label;
}

void TfInfo::DoShow() {
  TWindowFrame::DoShow();
  leCaption->SetCaptionW(LangText(Key(itAbout)).Text);
  const std::u16string close = LangText(Key(itClose)).Text;
  bClose->SetCaptionW(close);
  TLanguageService::AddToolTip(this, bCloseS, close);
  leDevice->SetCaptionW(LangText(Key(itDevice)).Text + u":");
  leSerial->SetCaptionW(LangText(Key(itSerialNumber)).Text + u":");
  leVersion->SetCaptionW(LangText(Key(itVersion)).Text + u":");
  leReleaseVer->SetCaptionW(LangText(Key(itSoftwareVersion)).Text + u":");

  leDeviceName->SetCaptionW(DeviceText(&TZelto::DeviceDescr));
  leSerialNumber->SetCaptionW(DeviceText(&TZelto::DeviceSN));
  leVersionNumber->SetCaptionW(DeviceText(&TZelto::DeviceVer));
  leReleaseVerNumber->SetCaptionW(FileVersionText(ProgramFileVersion));
  for (TLabelEx* label : {leDeviceName, leSerialNumber, leVersionNumber, leReleaseVerNumber}) label->SetCaption("");
}
