#pragma once
// TDateTimePicker: a date field with a drop-down calendar. OnChange fires
// when the user changes the date.

#include "wincontrol.h"

namespace gui {

struct TCalendarDate {
  int Year = 2000;
  int Month = 1;
  int Day = 1;
  friend bool operator==(const TCalendarDate&, const TCalendarDate&) = default;
};

class TDateTimePicker : public TWinControl {
 public:
  explicit TDateTimePicker(TComponent* owner);

  TCalendarDate Date() const;
  // An invalid date is ignored.
  void SetDate(const TCalendarDate& date);

  TNotifyEvent OnChange;

 protected:
  virtual void Change();
  void FontChanged() override;
  void ColorChanged() override;
  void UpdateFocusPolicy() override;
};

}  // namespace gui
