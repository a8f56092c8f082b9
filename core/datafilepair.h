#pragma once
// A document and its raw sample file (a session, an asynchronous capture),
// replaced as one pair. The document records the byte count and checksum of
// its raw file. A save writes the new raw file and moves it to the pending
// name beside the old one, then puts the new document in place, and only
// then moves the new raw file over the old one. A reader takes whichever of
// the two raw files matches the document. So a crash at any moment of a
// save leaves either the old pair or the new one, never the values of one
// save with the samples of another.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rawsamplefile.h"
#include "xmlinifile.h"

namespace datafile {

// Where the new raw file waits for its document.
std::u16string PendingRawPath(std::u16string_view rawPath);

enum class TRawFileState {
  Matching,    // the raw file the document recorded, or one of a document without a record
  Missing,     // no raw file
  Foreign,     // a raw file from another save
  Unreadable,  // a raw file that can't be read (a folder, a pipe, no permission)
};

// Opens in `raw` the raw file that goes with `document`, whose record is in
// `section`. When the raw file at `rawPath` doesn't match but the pending
// one does (a save stopped after its document was in place), the pending
// file takes the raw file's place. A document written before the record was
// kept takes the raw file as it is.
TRawFileState OpenRawFileFor(const XmlIniFile& document, std::u16string_view section,
                             std::u16string_view rawPath, TRawSampleReader& raw);

class TDataFilePairWriter {
 public:
  enum class TResult { Done, RawFailed, DocumentFailed };

  // First completes or discards what an interrupted save of the pair left
  // (the document at `documentPath`, with root `root`, decides), then
  // starts the new raw file. `section` holds the record in the document.
  TDataFilePairWriter(std::u16string_view documentPath, std::u16string_view root, std::u16string_view section,
                      std::u16string_view rawPath);

  bool IsOpen() const { return Raw.IsOpen(); }
  void WriteBlock(const std::vector<int32_t>& samples, int32_t length) { Raw.WriteBlock(samples, length); }
  // Records the raw file in `document`, then replaces the pair: raw file to
  // its pending name, document, raw file into place.
  TResult Commit(XmlIniFile& document);

 private:
  std::u16string DocumentPath, Section, RawPath, PendingPath;
  TRawSampleWriter Raw;
};

}  // namespace datafile
