#include "datafilepair.h"

#include <array>
#include <charconv>
#include <optional>

#include "datafilevalues.h"
#include "folders.h"
#include "pathbinding.h"

namespace datafile {

namespace {

constexpr std::u16string_view BytesKey = u"DataBytes";
constexpr std::u16string_view ChecksumKey = u"DataChecksum";

// The byte count as the document stores it: lowercase hexadecimal, like
// every integer of the documents, but 64 bits wide.
std::u16string ByteCountText(uint64_t count) {
  std::array<char, 20> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), count, 16).ptr;
  return std::u16string(digits.data(), end);
}

std::optional<uint64_t> ParseByteCount(std::u16string_view text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::string narrow;
  for (const char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    narrow += static_cast<char>(c);
  }
  uint64_t value = 0;
  const auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value, 16);
  if (result.ec != std::errc() || result.ptr != narrow.data() + narrow.size()) return std::nullopt;
  return value;
}

// What a document says of its raw file. Documents written before the
// checksum was kept have the byte count only, older ones neither.
struct TRawRecord {
  bool HasBytes = false;
  std::optional<uint64_t> Bytes;  // empty with HasBytes: a count that is no number
  std::optional<uint32_t> Checksum;

  bool Matches(const TRawSampleReader& raw) const {
    if (HasBytes && Bytes != raw.Size()) return false;
    return !Checksum || raw.Checksum() == Checksum;
  }
};

TRawRecord RecordOf(const XmlIniFile& document, std::u16string_view section) {
  TRawRecord record;
  record.HasBytes = HasKey(document, section, BytesKey);
  if (record.HasBytes) record.Bytes = ParseByteCount(document.ReadString(section, BytesKey, u""));
  if (HasKey(document, section, ChecksumKey))
    record.Checksum = static_cast<uint32_t>(document.ReadInteger(section, ChecksumKey, 0));
  return record;
}

// Only a document that holds a checksum can have a pending raw file of its
// own: every save that writes one records it.
bool TakePending(const TRawRecord& record, std::u16string_view rawPath, TRawSampleReader& raw) {
  TRawSampleReader pending;
  const std::u16string pendingPath = PendingRawPath(rawPath);
  if (!record.Checksum || !pending.Open(pendingPath) || !record.Matches(pending)) return false;
  // Moved into place, the pair is an ordinary pair again; where that fails
  // (a read-only folder) the pending file is read where it stands.
  MoveIntoPlace(rtl::NativePath(pendingPath), rtl::NativePath(rawPath));
  raw = std::move(pending);
  return true;
}

}  // namespace

std::u16string PendingRawPath(std::u16string_view rawPath) { return std::u16string(rawPath) + u".pending"; }

TRawFileState OpenRawFileFor(const XmlIniFile& document, std::u16string_view section,
                             std::u16string_view rawPath, TRawSampleReader& raw) {
  const TRawRecord record = RecordOf(document, section);
  TRawFileState state = TRawFileState::Missing;
  if (raw.Open(rawPath)) {
    if (record.Matches(raw)) return TRawFileState::Matching;
    state = TRawFileState::Foreign;
  } else if (Shlwapi.PathFileExistsW(rawPath)) {
    state = TRawFileState::Unreadable;
  }
  if (TakePending(record, rawPath, raw)) return TRawFileState::Matching;
  raw = TRawSampleReader();
  return state;
}

TDataFilePairWriter::TDataFilePairWriter(std::u16string_view documentPath, std::u16string_view root,
                                         std::u16string_view section, std::u16string_view rawPath)
    : DocumentPath(documentPath), Section(section), RawPath(rawPath), PendingPath(PendingRawPath(rawPath)),
      Raw(rawPath) {
  // A pending raw file that the document in place recorded is moved into
  // place before the new save takes the pending name; any other is what a
  // save left that never got its document in place.
  if (!Shlwapi.PathFileExistsW(PendingPath)) return;
  XmlIniFile current;
  TRawSampleReader ignored;
  if (current.Open(DocumentPath, root, true)) OpenRawFileFor(current, Section, RawPath, ignored);
  rtl::DeleteFile(PendingPath);
}

TDataFilePairWriter::TResult TDataFilePairWriter::Commit(XmlIniFile& document) {
  document.WriteString(Section, BytesKey, ByteCountText(Raw.Size()));
  document.WriteInteger(Section, ChecksumKey, static_cast<int32_t>(Raw.Checksum()));
  TReplacementFile& raw = Raw.Replacement();
  const std::string pending = rtl::NativePath(PendingPath);
  if (!raw.Finish() || !raw.CommitAs(pending)) return TResult::RawFailed;
  if (!ReplaceFile(DocumentPath, document.Serialize())) {
    // The old document stays, and with it the old raw file.
    rtl::DeleteFile(PendingPath);
    return TResult::DocumentFailed;
  }
  // From here the new document is in place; should this rename fail, a
  // reader still finds its raw file under the pending name.
  return MoveIntoPlace(pending, raw.NativeTarget()) ? TResult::Done : TResult::RawFailed;
}

}  // namespace datafile
