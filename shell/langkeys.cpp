#include "langkeys.h"

#include "forminfo.h"
#include "formlog.h"
#include "formmessage.h"
#include "formselectlang.h"
#include "init.h"

std::vector<TWindowLangKeys> ShellLangKeys() {
  return {
      {"TfMessage", TfMessage::LangKeys},
      {"TfLog", TfLog::LangKeys},
      {"TfInfo", TfInfo::LangKeys},
      {"TfSelectLang", TfSelectLang::LangKeys},
      {"TfInit", TfInit::LangKeys},
  };
}
