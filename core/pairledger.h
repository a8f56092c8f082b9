#pragma once
// What this program last read or wrote of each document-and-raw-file pair,
// so that no save replaces a pair someone else changed since. Two program
// instances on one folder (a lock that could not be taken, or a file system
// whose locks lock nothing) would otherwise each write the job they had over
// the other's without a word. A save compares the document on disk with the
// one remembered here; a document that differs was written by another
// program, and its pair is kept aside (datafilepair.h). Only a load that
// succeeded and a save are remembered: a document that was refused was
// never the job in memory.
//
// A document is known by the file its name leads to, not by the name's
// spelling: one file reached through a linked folder, or in another letter
// case on a FAT stick, is one document. A save replaces the document's file,
// so the names are compared as the file system resolves them when asked.
//
// It also keeps the folders whose file system was found without locks,
// so that the user is told of each once.
//
// Loads and saves of the pairs run on the main thread only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace datafile {

class TPairLedger {
 public:
  // The document at `documentPath` as this program read or wrote it last:
  // its bytes, or nothing for a document that was not there (or could not
  // be read). It takes the place of what was remembered under any name of
  // the same file.
  void Remember(std::u16string_view documentPath, std::optional<std::string> bytes);
  // What Remember stored for the document under any of its names; null when
  // this program never read nor wrote it, and so has nothing to compare
  // with.
  const std::optional<std::string>* Recall(std::u16string_view documentPath) const;

  // True the first time `folder` (under any of its names) is reported
  // without locks.
  bool FirstWithoutLocks(std::u16string_view folder);

 private:
  struct TDocument {
    std::u16string Path;
    std::optional<std::string> Bytes;
  };
  // The last remembered last.
  std::vector<TDocument> Documents;
  std::vector<std::u16string> FoldersWithoutLocks;
};

}  // namespace datafile
