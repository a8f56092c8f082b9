#include "savetarget.h"

#include "datafilepair.h"
#include "folders.h"
#include "pathbinding.h"
#include "rawsamplefile.h"
#include "xmlinifile.h"

TSaveTarget SaveTargetOf(std::u16string_view documentPath, std::u16string_view rawPath, std::u16string_view root,
                         std::u16string_view section,
                         const std::function<uint64_t(const XmlIniFile&)>& layoutBytes) {
  const std::u16string_view name = documentPath.substr(documentPath.find_last_of(u'/') + 1);
  if (name.empty() || name == Shlwapi.PathFindExtensionW(name)) return TSaveTarget::NoName;
  // Names are compared as the file system resolves them: on a FAT stick
  // "Pump.DAQDATA" and "Pump.daqdata" are one file.
  if (rtl::SameFile(rawPath, documentPath)) return TSaveTarget::RawIsDocument;
  if (!rtl::FileExists(rawPath)) return TSaveTarget::Free;
  // The raw file is the document's own only when the document there
  // records it; a raw file beside no document, or beside one that records
  // other samples, is someone else's.
  if (!rtl::FileExists(documentPath)) return TSaveTarget::ForeignRaw;
  XmlIniFile document;
  if (!document.Open(documentPath, root, true)) return TSaveTarget::ForeignRaw;
  TRawSampleReader raw;
  return datafile::OpenRawFileFor(document, section, rawPath, layoutBytes(document), raw) == datafile::TRawFileState::Matching
             ? TSaveTarget::OwnPair
             : TSaveTarget::ForeignRaw;
}
