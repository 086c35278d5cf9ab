// Any design that reads, however absurd its coordinates and pens, renders quickly on a page.
#include <cstdint>
#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"
#include "DesignRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::stringbuf buffer(std::string(reinterpret_cast<const char*>(data), size));
  azuz::ArchiveReader reader(buffer);
  azuz::CORVELIXImageToolDoc doc;
  std::string error;
  doc.Serialize(reader, &error);  // a format error keeps the objects read before it
  doc.pageWidth = 576;
  doc.pageHeight = 330;
  const auto image = azuz::RenderWatermarkImage(doc, &error);
  if (!image || image->size() != 9 + 330 * 72) {
    __builtin_trap();
  }
  return 0;
}
