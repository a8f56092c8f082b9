#pragma once
// What the shell's tests share: temporary folders of their own, text
// helpers, a language file written through the store, and the folder the
// window pictures go to.

#include <string>
#include <utility>
#include <vector>

namespace shelltest {

// A new empty folder under the system's temporary folder ("/" at the end
// left out), removed with its content by the destructor.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return FPath; }
  std::u16string PathW() const;
  std::string File(const std::string& name) const { return FPath + "/" + name; }

 private:
  std::string FPath;
};

struct TKeyValue {
  std::u16string Section, Key, Value;
};
// Writes a language document (root "Language") through the store.
void WriteLanguageFile(const std::string& path, const std::vector<TKeyValue>& values);

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// The path of a window picture in the test's binary folder.
std::string PicturePath(const std::string& name);

// UTF-16 literal text for messages.
std::string Narrow(const std::u16string& text);

}  // namespace shelltest
