#pragma once
// The keys each window of the shell looks up, window by window: the one
// list the language files are checked against, so that no "###" reaches a
// user. A new window adds its table here.

#include <span>
#include <string_view>
#include <vector>

#include "languageservice.h"

struct TWindowLangKeys {
  std::string_view Window;  // the window's class name
  std::span<const TTextKey> Keys;
};

std::vector<TWindowLangKeys> ShellLangKeys();
