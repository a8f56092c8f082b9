#include "formdebug.h"

#include <string>

#include "label.h"
#include "records.h"
#include "zelto.h"

TfDebug::TfDebug(gui::TComponent* owner) : gui::TForm(owner) {
  SetCaption("Debug");
  SetBorderStyle(gui::bsSingle);
  SetFormStyle(gui::fsStayOnTop);
  // 173 x 215 with the system's frame and caption round it.
  SetClientWidth(165);
  SetClientHeight(181);

  Label1 = CreateLabel(8, 16, "Index:");
  lIndex = CreateLabel(64, 16, "");
  Label2 = CreateLabel(8, 32, "LastIndex:");
  lLastIndex = CreateLabel(64, 32, "");
  Label3 = CreateLabel(8, 64, "Start");
  lStart = CreateLabel(64, 64, "");
  Label4 = CreateLabel(8, 80, "End");
  lEnd = CreateLabel(64, 80, "");
  Label5 = CreateLabel(8, 96, "End - Start");
  lEndStart = CreateLabel(64, 96, "");

  WindowServices().Debug = this;
}

TfDebug::~TfDebug() {
  TDebugServices* self = this;
  WindowServices().Debug.compare_exchange_strong(self, nullptr);
}

gui::TLabel* TfDebug::CreateLabel(int left, int top, const char* caption) {
  auto* label = new gui::TLabel(this);
  label->SetParent(this);
  label->SetBounds(left, top, 65, 13);
  label->SetCaption(caption);
  return label;
}

void TfDebug::Update() {
  if (!Visible() || !TheCore) return;
  const int32_t step = TheCore->BalancingStep;
  int32_t start = 0, end = 0;
  // A step outside the runs has no capture to show.
  if (step >= 0 && step < RunCount) {
    const CaptureRecord& capture = TheCore->Captures[static_cast<size_t>(step)];
    start = capture.Start;
    end = capture.End;
  }
  lIndex->SetCaption(std::to_string(step));
  lLastIndex->SetCaption(std::to_string(TheCore->HighestStep));
  lStart->SetCaption(std::to_string(start));
  lEnd->SetCaption(std::to_string(end));
  lEndStart->SetCaption(std::to_string(static_cast<int64_t>(end) - start));
}

void TfDebug::DoShow() {
  gui::TForm::DoShow();
  Update();
}
