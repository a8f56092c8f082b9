#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "textconv.h"
#include "xmlinifile.h"

namespace {

// A large document: `sections` sections of `keys` keys each, values as a
// language file or a long session holds them.
struct TNames {
  std::vector<std::u16string> Sections, Keys;
};

TNames Names(int sections, int keys) {
  TNames names;
  for (int i = 0; i < sections; ++i) names.Sections.push_back(u"Measurement" + rtl::AsciiToUtf16(std::to_string(i)));
  for (int i = 0; i < keys; ++i) names.Keys.push_back(u"Caption" + rtl::AsciiToUtf16(std::to_string(i)));
  return names;
}

void Fill(XmlIniFile& document, const TNames& names) {
  for (const auto& section : names.Sections)
    for (const auto& key : names.Keys) document.WriteString(section, key, u"Measurement of the rotor & \"housing\"");
}

std::string Document(const TNames& names) {
  XmlIniFile document;
  document.Open(u"", u"Language", false);
  Fill(document, names);
  return document.Serialize();
}

// Arguments: sections, keys per section.
void WriteKeys(benchmark::State& state) {
  const TNames names = Names(state.range(0), state.range(1));
  for (auto _ : state) {
    XmlIniFile document;
    document.Open(u"", u"Language", false);
    Fill(document, names);
    benchmark::DoNotOptimize(document.Modified());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(WriteKeys)->Args({20, 40})->Args({100, 500});

void ParseDocument(benchmark::State& state) {
  const std::string bytes = Document(Names(state.range(0), state.range(1)));
  for (auto _ : state) {
    XmlIniFile document;
    document.Open(u"", u"Language", false);
    benchmark::DoNotOptimize(document.Parse(bytes));
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(ParseDocument)->Args({20, 40})->Args({100, 500});

void ReadEveryKey(benchmark::State& state) {
  const TNames names = Names(state.range(0), state.range(1));
  XmlIniFile document;
  document.Open(u"", u"Language", false);
  document.Parse(Document(names));
  for (auto _ : state)
    for (const auto& section : names.Sections)
      for (const auto& key : names.Keys) benchmark::DoNotOptimize(document.ReadString(section, key, u"###"));
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(ReadEveryKey)->Args({20, 40})->Args({100, 500});

void SerializeDocument(benchmark::State& state) {
  XmlIniFile document;
  document.Open(u"", u"Language", false);
  Fill(document, Names(state.range(0), state.range(1)));
  for (auto _ : state) benchmark::DoNotOptimize(document.Serialize());
}
BENCHMARK(SerializeDocument)->Args({20, 40})->Args({100, 500});

// Open with loading and Save, through the file system: the whole cost a
// data file pays, including the forced write of the replacing save.
void SaveAndLoad(benchmark::State& state) {
  std::string folder = (std::filesystem::temp_directory_path() / "zelto-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::u16string path = rtl::Utf8ToUtf16(folder) + u"/doc.xml";
  const TNames names = Names(state.range(0), state.range(1));
  for (auto _ : state) {
    XmlIniFile written;
    written.Open(path, u"Language", false);
    Fill(written, names);
    benchmark::DoNotOptimize(written.Save());
    XmlIniFile read;
    benchmark::DoNotOptimize(read.Open(path, u"Language", true));
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(SaveAndLoad)->Args({20, 40})->Args({100, 500})->Unit(benchmark::kMillisecond);

}  // namespace
