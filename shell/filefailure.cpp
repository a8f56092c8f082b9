#include "filefailure.h"

#include "datafilepair.h"
#include "systemerror.h"
#include "zelto.h"

const std::array<TTextKey, 18> FileFailureLangKeys = {{
    {u"Forms", u"FileInUse"},
    {u"Forms", u"FileDamaged"},
    {u"Forms", u"FileRateNotListed"},
    {u"Forms", u"ConfigNotRead"},
    {u"Forms", u"ConfigKeptAside"},
    {u"Forms", u"ConfigNotSaved"},
    {u"Forms", u"SensorNotRead"},
    {u"Forms", u"ConfigNotKeptAside"},
    {u"Forms", u"ConditionsAssumed"},
    {u"Forms", u"DemoModeScale"},
    {u"Forms", u"SensorAssumed"},
    {u"Forms", u"SensorUnknown"},
    {u"Forms", u"SensorMissing"},
    {u"Forms", u"SensorDiffers"},
    {u"Forms", u"ScaleFound"},
    {u"Forms", u"ScaleUnconfirmed"},
    {u"Forms", u"RangeReplaced"},
    {u"Forms", u"SensorImpossible"},
}};

namespace {

enum TFileFailureText : size_t {
  ftFileInUse,
  ftFileDamaged,
  ftFileRateNotListed,
  ftConfigNotRead,
  ftConfigKeptAside,
  ftConfigNotSaved,
  ftSensorNotRead,
  ftConfigNotKeptAside,
  ftConditionsAssumed,
  ftDemoModeScale,
  ftSensorAssumed,
  ftSensorUnknown,
  ftSensorMissing,
  ftSensorDiffers,
  ftScaleFound,
  ftScaleUnconfirmed,
  ftRangeReplaced,
  ftSensorImpossible,
};

std::u16string Text(TFileFailureText text) { return LangText(FileFailureLangKeys[text]).Text; }

}  // namespace

TFileFailureTexts FileFailureTexts() {
  return {Text(ftFileInUse), Text(ftFileDamaged), Text(ftFileRateNotListed)};
}

std::u16string FileFailureText(const TFileReason& failure, const TFileFailureTexts& texts) {
  if (failure.Error == datafile::PairInUseError) return texts.InUse + u" " + failure.File;
  if (failure.Error == RateNotListedError) return failure.File + u": " + texts.RateNotListed;
  const std::u16string reason = failure.Error == 0 ? texts.Damaged : rtl::SystemErrorText(failure.Error);
  return failure.File + u": " + reason;
}

std::u16string WithFileFailure(std::u16string_view text, const TFileReason& failure,
                               const TFileFailureTexts& texts) {
  return std::u16string(text) + u"\n" + FileFailureText(failure, texts);
}

std::u16string ConfigNotReadText(const TFileReason& failure, std::u16string_view keptAs,
                                 const TFileReason& asideFailure) {
  const std::u16string text = WithFileFailure(Text(ftConfigNotRead), failure);
  if (keptAs.empty()) return text + u"\n" + WithFileFailure(Text(ftConfigNotKeptAside), asideFailure);
  return text + u"\n" + Text(ftConfigKeptAside) + u"\n" + std::u16string(keptAs);
}

void TellSensorFailures(const TZelto& core, const std::function<void(const std::u16string&)>& show,
                        const std::function<void(const std::u16string&)>& log) {
  if (core.SensorFailures.empty()) return;
  std::u16string text = Text(ftSensorNotRead);
  for (const TFileReason& failure : core.SensorFailures) text += u"\n" + FileFailureText(failure);
  core.SensorFailures.clear();
  if (log) log(text);
  if (show) show(text);
}

void TellConditionNotes(const TZelto& core, const std::function<void(const std::u16string&)>& show,
                        const std::function<void(const std::u16string&)>& log) {
  if (core.ConditionNotes.empty()) return;
  // One paragraph per kind, in the order of TConditionNoteKind.
  static constexpr TFileFailureText Heads[] = {ftConditionsAssumed, ftSensorAssumed,    ftSensorUnknown,
                                               ftSensorMissing,     ftSensorDiffers,    ftSensorImpossible,
                                               ftScaleFound,        ftScaleUnconfirmed, ftRangeReplaced};
  std::u16string text;
  for (uint8_t kind = cnScaleAssumed; kind <= cnRangeReplaced; ++kind) {
    std::u16string paragraph;
    bool noted = false;
    for (const TConditionNote& note : core.ConditionNotes) {
      if (note.Kind != kind) continue;
      noted = true;
      const bool demo = kind == cnScaleAssumed && note.Subject.empty();
      // A note without a subject is said by its head alone.
      if (demo || !note.Subject.empty()) paragraph += u"\n" + (demo ? Text(ftDemoModeScale) : note.Subject);
    }
    if (!noted) continue;
    if (!text.empty()) text += u"\n";
    text += Text(Heads[kind]) + paragraph;
  }
  core.ConditionNotes.clear();
  if (log) log(text);
  if (show) show(text);
}

std::u16string ConfigNotSavedText() { return Text(ftConfigNotSaved); }
