#include <cstdint>
#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::stringbuf buffer(std::string(reinterpret_cast<const char*>(data), size));
  azuz::ArchiveReader reader(buffer);
  azuz::CORVELIXImageToolDoc doc;
  std::string error;
  if (doc.Serialize(reader, &error)) {
    // Whatever reads back must write and read again to the same bytes.
    std::stringbuf out;
    azuz::ArchiveWriter writer(out);
    doc.Serialize(writer, nullptr);
    std::stringbuf again(out.str());
    azuz::ArchiveReader reread(again);
    azuz::CORVELIXImageToolDoc copy;
    if (!copy.Serialize(reread, &error)) {
      __builtin_trap();
    }
  }
  return 0;
}
