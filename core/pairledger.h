#pragma once
// What this program last read or wrote of each document-and-raw-file pair,
// so that no save replaces a pair someone else changed since. Two program
// instances on one folder (a lock that could not be taken, or a file system
// whose locks lock nothing) would otherwise each write the job they had over
// the other's without a word. A save compares the document on disk with the
// one remembered here; a document that differs was written by another
// program, and its pair is kept aside before the save (datafilepair.h).
//
// It also keeps the folders whose file system was found without locks,
// so that the user is told of each once.
//
// Loads and saves of the pairs run on the main thread only.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace datafile {

class TPairLedger {
 public:
  // The document at `documentPath` as this program read or wrote it last:
  // its bytes, or nothing for a document that was not there (or could not
  // be read).
  void Remember(std::u16string_view documentPath, std::optional<std::string> bytes);
  // What Remember stored for the document; null when this program never
  // read nor wrote it, and so has nothing to compare with.
  const std::optional<std::string>* Recall(std::u16string_view documentPath) const;

  // True the first time `folder` is reported without locks.
  bool FirstWithoutLocks(std::u16string_view folder);

 private:
  std::map<std::u16string, std::optional<std::string>, std::less<>> Documents;
  std::set<std::u16string, std::less<>> FoldersWithoutLocks;
};

}  // namespace datafile
