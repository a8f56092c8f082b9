#pragma once
// TScrollBar: the platform's scroll bar with the range rules of the windows'
// descriptions. Position stays within Min..Max (with a PageSize above 0,
// within Min..Max - PageSize + 1); setting a position outside, or moving Min
// or Max past the position, clamps it. OnChange fires on every change of
// Position: by the user, by SetPosition or SetParams, and by a clamp.
// A range with Max below Min is refused with std::out_of_range.

#include "wincontrol.h"

namespace gui {

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };

// The highest position a range allows.
int ScrollMaxPosition(int min, int max, int pageSize);
// A position held within the range.
int ClampScrollPosition(int position, int min, int max, int pageSize);

class TScrollBar : public TWinControl {
 public:
  explicit TScrollBar(TComponent* owner);

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind kind);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  int PageSize() const { return FPageSize; }
  int SmallChange() const { return FSmallChange; }
  int LargeChange() const { return FLargeChange; }
  void SetMin(int min) { SetParams(FPosition, min, FMax); }
  void SetMax(int max) { SetParams(FPosition, FMin, max); }
  void SetPosition(int position) { SetParams(position, FMin, FMax); }
  void SetParams(int position, int min, int max);
  void SetPageSize(int pageSize);
  void SetSmallChange(int change);
  void SetLargeChange(int change);

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void UpdateFocusPolicy() override;

 private:
  void UpdateWidget();
  void UserMoved(int position);

  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FPageSize = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
};

}  // namespace gui
