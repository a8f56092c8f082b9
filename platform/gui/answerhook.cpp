#include "answerhook.h"

namespace gui {

namespace {

TAnswerHook& Hook() {
  static TAnswerHook hook;
  return hook;
}

}  // namespace

TAnswerHook SetAnswerHook(TAnswerHook hook) {
  TAnswerHook previous = std::move(Hook());
  Hook() = std::move(hook);
  return previous;
}

std::optional<TDialogAnswer> AskAnswerHook(const TDialogRequest& request) {
  // A copy: the hook may replace itself while it answers.
  TAnswerHook hook = Hook();
  if (!hook) return std::nullopt;
  return hook(request);
}

TAnswerScript::TAnswerScript() {
  FPrevious = SetAnswerHook([this](const TDialogRequest& request) { return Answer(request); });
}

TAnswerScript::~TAnswerScript() { SetAnswerHook(std::move(FPrevious)); }

TAnswerScript& TAnswerScript::Expect(TDialogKind kind, int result, const std::string& fileName) {
  return ExpectAction(kind, [result, fileName](const TDialogRequest&) {
    return std::optional<TDialogAnswer>(TDialogAnswer{result, fileName});
  });
}

TAnswerScript& TAnswerScript::ExpectAction(TDialogKind kind, TAction action) {
  FEntries.push_back({kind, std::move(action)});
  return *this;
}

std::optional<TDialogAnswer> TAnswerScript::Answer(const TDialogRequest& request) {
  FRequests.push_back(request);
  if (FEntries.empty() || FEntries.front().Kind != request.Kind) {
    FUnexpected.push_back(request);
    // A modal form is cancelled: an empty answer would let it wait for a user.
    return TDialogAnswer{request.Kind == dkModalForm ? 2 : 0, {}};
  }
  TAction action = std::move(FEntries.front().Action);
  FEntries.pop_front();
  return action(request);
}

}  // namespace gui
