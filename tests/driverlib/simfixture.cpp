#include "simfixture.h"

#include "clock.h"
#include "textconv.h"

#include <cstdlib>
#include <fstream>
#include <random>

void SartelSim::SetUp() {
  ASSERT_TRUE(Sim.Loaded()) << "run with the simulated libftd2xx.so's folder in LD_LIBRARY_PATH";
  setenv("SARTEL_TIMEOUT_MS", std::to_string(TimeoutMs).c_str(), 1);
  Sim.Reset();
  std::string pattern = (std::filesystem::temp_directory_path() / "sartel-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  Folder = pattern;
  std::mt19937 random(7);
  Image.resize(3000);
  for (auto& byte : Image) byte = static_cast<std::uint8_t>(random());
  WriteImage(Image);
  ASSERT_TRUE(_InitDriver());
  const std::u16string path = rtl::Utf8ToUtf16(Folder.string());
  _SetPath(path.c_str());
}

void SartelSim::TearDown() {
  _FreeDevice();
  _FreeDriver();
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

void SartelSim::WriteImage(const std::vector<std::uint8_t>& image) {
  std::filesystem::create_directories(Folder / "Lib");
  std::ofstream out(Folder / "Lib" / "Harvik.lib", std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

bool SartelSim::Open() {
  std::int32_t indices[256] = {};
  if (_ListDevices(indices, nullptr) != 1) return false;
  char16_t description[SARTEL_TEXT_LENGTH] = {};
  _GetDeviceDescr(indices[0], description);
  _OpenDevice(indices[0]);
  return LastError() == 0;
}

bool SartelSim::OpenAndConfigure() {
  if (!Open()) return false;
  _InitDevice();
  return _ConfigDevice(0, false) && LastError() == 0;
}

std::int32_t SartelSim::LastError(std::string* text) {
  char16_t buffer[SARTEL_TEXT_LENGTH] = {};
  const std::int32_t code = _GetLastErrorStr(buffer);
  if (text) *text = rtl::Utf16ToUtf8(buffer);
  return code;
}

std::uint32_t SartelSim::Milliseconds(const std::function<void()>& action) {
  const std::uint32_t before = rtl::GetTickCount();
  action();
  return rtl::GetTickCount() - before;
}
