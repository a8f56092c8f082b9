#include "pairnotices.h"

#include "filefailure.h"
#include "zelto.h"

const std::array<TTextKey, 3> PairNoticeLangKeys = {{
    {u"Forms", u"ChangedPairKeptAside"},
    {u"Forms", u"ChangedPairKeptAsideNotSaved"},
    {u"Forms", u"FolderWithoutLocks"},
}};

TPairNoticeTexts PairNoticeTexts() {
  return {LangText(PairNoticeLangKeys[0]).Text, LangText(PairNoticeLangKeys[1]).Text,
          LangText(PairNoticeLangKeys[2]).Text, FileFailureTexts()};
}

void TellPairNotices(TZelto& core, bool saved, const TPairNoticeTexts& texts,
                     const std::function<void(const std::u16string&)>& show,
                     const std::function<void(const std::u16string&)>& log) {
  std::vector<std::u16string> notices;
  if (!core.PairKeptAside.empty()) {
    std::u16string text = saved ? texts.KeptAside : texts.KeptAsideNotSaved;
    for (const std::u16string& file : core.PairKeptAside) text += u"\n" + file;
    notices.push_back(text);
  }
  for (const TFileReason& folder : core.LockNotices) notices.push_back(WithFileFailure(texts.WithoutLocks, folder, texts.Failures));
  core.PairKeptAside.clear();
  core.LockNotices.clear();
  for (const std::u16string& text : notices) {
    if (log) log(text);
    if (show) show(text);
  }
}
