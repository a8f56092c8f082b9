#include "pathfunctions.h"

#include <array>
#include <cmath>
#include <vector>

#include "folders.h"
#include "textconv.h"

namespace rtl {

namespace {

constexpr char16_t Separator = u'/';

std::vector<std::u16string_view> Components(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find(Separator, start), path.size());
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Resolves "." and ".." as text and collapses repeated separators. A
// trailing "/" stays; ".." above the root of an absolute path is dropped.
std::u16string Canonical(std::u16string_view path) {
  const bool absolute = !path.empty() && path.front() == Separator;
  const bool trailing = path.size() > 1 && path.back() == Separator;
  std::vector<std::u16string_view> kept;
  for (const std::u16string_view part : Components(path)) {
    if (part.empty() || part == u".") continue;
    if (part == u".." && !kept.empty() && kept.back() != u"..") kept.pop_back();
    else if (part != u".." || !absolute) kept.push_back(part);
  }
  std::u16string result = absolute ? u"/" : u"";
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) result += Separator;
    result += kept[i];
  }
  if (trailing && !kept.empty()) result += Separator;
  return result;
}

std::u16string Widen(std::string_view ascii) { return AsciiToUtf16(ascii); }

// Two decimals for values below 10, one below 100, none above: three
// significant digits, cut off rather than rounded.
std::u16string ThreeDigits(double value) {
  const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
  const int64_t factor = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
  const int64_t scaled = static_cast<int64_t>(std::floor(value * factor));
  std::u16string text = Widen(std::to_string(scaled / factor));
  if (decimals == 0) return text;
  std::u16string fraction = Widen(std::to_string(scaled % factor));
  fraction.insert(0, decimals - fraction.size(), u'0');
  return text + u"." + fraction;
}

template <typename F>
TAnyFunction Erase(F* function) {
  return reinterpret_cast<TAnyFunction>(function);
}

}  // namespace

void PathAddBackslashW(std::u16string& path) {
  if (!path.empty() && path.back() != Separator) path += Separator;
}

bool PathAddExtensionW(std::u16string& path, std::u16string_view extension) {
  if (!PathFindExtensionW(path).empty()) return true;
  if (extension.empty()) return false;
  path += extension;
  return true;
}

void PathAppendW(std::u16string& path, std::u16string_view more) {
  while (!more.empty() && more.front() == Separator) more.remove_prefix(1);
  path = PathCombineW(path, more);
}

std::u16string PathCombineW(std::u16string_view folder, std::u16string_view file) {
  if (folder.empty() || (!file.empty() && file.front() == Separator)) return Canonical(file);
  if (file.empty()) return Canonical(folder);
  std::u16string joined(folder);
  if (joined.back() != Separator) joined += Separator;
  return Canonical(joined.append(file));
}

bool PathCompactPathW(std::u16string& path, size_t maxChars) {
  if (path.size() <= maxChars) return true;
  const std::u16string name(PathFindFileNameW(path));
  constexpr std::u16string_view Dots = u".../";
  if (Dots.size() + name.size() <= maxChars) {
    const size_t keep = maxChars - Dots.size() - name.size();
    path = path.substr(0, keep) + std::u16string(Dots) + name;
    return true;
  }
  path = maxChars >= 3 ? name.substr(0, maxChars - 3) + u"..." : std::u16string(u"...", maxChars);
  return false;
}

std::u16string_view PathFindExtensionW(std::u16string_view path) {
  size_t dot = std::u16string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == Separator || path[i] == u' ') dot = std::u16string_view::npos;
    else if (path[i] == u'.') dot = i;
  }
  return dot == std::u16string_view::npos ? path.substr(path.size()) : path.substr(dot);
}

std::u16string_view PathFindFileNameW(std::u16string_view path) {
  size_t start = 0;
  for (size_t i = 0; i + 1 < path.size(); ++i)
    if (path[i] == Separator && path[i + 1] != Separator) start = i + 1;
  return path.substr(start);
}

bool PathFileExistsW(std::u16string_view path) { return FileExists(path) || DirectoryExists(path); }

bool PathIsDirectoryW(std::u16string_view path) { return DirectoryExists(path); }

void PathRemoveExtensionW(std::u16string& path) {
  path.resize(path.size() - PathFindExtensionW(path).size());
}

bool PathRemoveFileSpecW(std::u16string& path) {
  if (path.empty()) return false;
  const size_t slash = path.rfind(Separator);
  if (slash == std::u16string::npos) {
    path.clear();
    return true;
  }
  if (slash == 0) {
    if (path.size() == 1) return false;
    path.resize(1);
    return true;
  }
  path.resize(slash);
  return true;
}

void PathRenameExtensionW(std::u16string& path, std::u16string_view extension) {
  PathRemoveExtensionW(path);
  path += extension;
}

int StrCmpIW(std::u16string_view a, std::u16string_view b) { return CompareTextNoCase(a, b); }

std::u16string StrFormatByteSizeW(int64_t size) {
  if (size < 1024) return Widen(std::to_string(size)) + u" bytes";
  static constexpr std::array<std::u16string_view, 6> Units = {u" KB", u" MB", u" GB",
                                                               u" TB", u" PB", u" EB"};
  double value = static_cast<double>(size) / 1024;
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < Units.size()) {
    value /= 1024;
    ++unit;
  }
  return ThreeDigits(value) + std::u16string(Units[unit]);
}

size_t StrStrW(std::u16string_view text, std::u16string_view find) { return text.find(find); }

std::span<const TPathFunctionExport> PathFunctionExports() {
  static const std::array<TPathFunctionExport, 15> Exports = {{
      {"PathAddBackslashW", Erase(&PathAddBackslashW)},
      {"PathAddExtensionW", Erase(&PathAddExtensionW)},
      {"PathAppendW", Erase(&PathAppendW)},
      {"PathCombineW", Erase(&PathCombineW)},
      {"PathCompactPathW", Erase(&PathCompactPathW)},
      {"PathFindExtensionW", Erase(&PathFindExtensionW)},
      {"PathFindFileNameW", Erase(&PathFindFileNameW)},
      {"PathFileExistsW", Erase(&PathFileExistsW)},
      {"PathIsDirectoryW", Erase(&PathIsDirectoryW)},
      {"PathRemoveExtensionW", Erase(&PathRemoveExtensionW)},
      {"PathRemoveFileSpecW", Erase(&PathRemoveFileSpecW)},
      {"PathRenameExtensionW", Erase(&PathRenameExtensionW)},
      {"StrCmpIW", Erase(&StrCmpIW)},
      {"StrFormatByteSizeW", Erase(&StrFormatByteSizeW)},
      {"StrStrW", Erase(&StrStrW)},
  }};
  return Exports;
}

}  // namespace rtl
