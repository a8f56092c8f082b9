#include "simcontrol.h"

#include "lodrastserver.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace sim {

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

template <typename T>
bool Number(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  const auto [rest, failure] = std::from_chars(text.data(), end, value);
  return failure == std::errc() && rest == end;
}

std::string FaultCommand(TLodrastServer& server, const std::vector<std::string>& words) {
  TFaultRule rule;
  if (words.size() < 2 || !ParseFault(words[1], rule.Kind)) return "error: unknown fault";
  for (std::size_t i = 2; i + 1 < words.size(); i += 2) {
    int value = 0;
    if (!Number(words[i + 1], value) || value < 0) return "error: bad number " + words[i + 1];
    if (words[i] == "opcode")
      rule.Opcode = value;
    else if (words[i] == "skip")
      rule.Skip = value;
    else if (words[i] == "count")
      rule.Count = value;
    else
      return "error: unknown option " + words[i];
  }
  if (words.size() % 2 != 0) return "error: option without value";
  server.AddFault(rule);
  return "ok";
}

}  // namespace

std::string ApplyControl(TLodrastServer& server, const std::string& line) {
  const std::vector<std::string> words = Words(line);
  if (words.empty()) return "error: empty command";
  const std::string& name = words[0];
  double a = 0;
  double b = 0;
  if (name == "speed" && words.size() == 2 && Number(words[1], a)) {
    server.SetSpeed(a);
  } else if (name == "mass" && words.size() == 4 && (words[1] == "A" || words[1] == "B") && Number(words[2], a) &&
             Number(words[3], b)) {
    server.SetMass(words[1] == "A" ? 0 : 1, a, b);
  } else if (name == "noise" && words.size() == 2 && Number(words[1], a)) {
    server.SetNoise(a);
  } else if (name == "temperature" && words.size() == 2 && Number(words[1], a)) {
    server.SetTemperature(a);
  } else if (int samples = 0; name == "poll" && words.size() == 2 && Number(words[1], samples) && samples > 0) {
    server.SetSamplesPerPoll(samples);
  } else if (unsigned bytes = 0, delay = 0;
             name == "segments" && words.size() == 3 && Number(words[1], bytes) && Number(words[2], delay)) {
    server.SetSegments(bytes, delay);
  } else if (unsigned pieces = 0, pause = 0;
             name == "split" && words.size() == 3 && Number(words[1], pieces) && Number(words[2], pause)) {
    server.SetSplit(pieces, pause);
  } else if (name == "fault") {
    return FaultCommand(server, words);
  } else if (name == "clear" && words.size() == 1) {
    server.ClearFaults();
  } else {
    return "error: cannot read \"" + line + "\"";
  }
  return "ok";
}

}  // namespace sim
