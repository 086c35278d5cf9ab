#include <cstdint>
#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"

namespace {

std::string Written(azuz::CORVELIXImageToolDoc& doc) {
  std::stringbuf out;
  azuz::ArchiveWriter writer(out);
  if (!doc.Serialize(writer, nullptr)) {
    __builtin_trap();
  }
  return out.str();
}

}  // namespace

// Whatever a read gives, the whole design or what came before a format error, writes, reads
// back and writes again to the very same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::stringbuf buffer(std::string(reinterpret_cast<const char*>(data), size));
  azuz::ArchiveReader reader(buffer);
  azuz::CORVELIXImageToolDoc doc;
  std::string error;
  doc.Serialize(reader, &error);

  const std::string first = Written(doc);
  std::stringbuf again(first);
  azuz::ArchiveReader reread(again);
  azuz::CORVELIXImageToolDoc copy;
  if (!copy.Serialize(reread, &error) || Written(copy) != first) {
    __builtin_trap();
  }
  return 0;
}
