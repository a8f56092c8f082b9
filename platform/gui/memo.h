#pragma once
// Multi-line text: TMemo (an edit) and TRichEdit (the same, kept plain: the
// windows use it to show and edit text without formatting). Lines gives the
// text line by line; MaxLength (0: no limit) bounds what can be typed or
// pasted, not what the program sets with SetText: such a text is shown
// whole, and the user can shorten it but not make it longer; OnChange fires
// on every change of the text.

#include <memory>

#include "stringlist.h"
#include "wincontrol.h"

namespace gui {

enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo : public TWinControl {
 public:
  ~TCustomMemo() override;

  TStrings& Lines();
  std::u16string Text() const;
  void SetText(const std::u16string& text);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int maxLength);
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wordWrap);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle scrollBars);

  TNotifyEvent OnChange;

 protected:
  explicit TCustomMemo(TComponent* owner);
  virtual void Change();
  // Ctrl+A selects the whole text, as in the one-line fields.
  void KeyDown(TVirtualKey& key, TShiftState shift) override;
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;

 private:
  void EnforceMaxLength();

  std::unique_ptr<TStrings> FLines;
  int FMaxLength = 0;
  int FAcceptedLength = 0;  // the length before the edit under way
  bool FWordWrap = true;
  TScrollStyle FScrollBars = ssNone;
  bool FProgramChange = false;  // the program is changing the text: no limit applies
};

class TMemo : public TCustomMemo {
 public:
  explicit TMemo(TComponent* owner);
};

class TRichEdit : public TCustomMemo {
 public:
  explicit TRichEdit(TComponent* owner);
  // Stored; the text is always plain.
  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool plainText) { FPlainText = plainText; }

 private:
  bool FPlainText = false;
};

}  // namespace gui
