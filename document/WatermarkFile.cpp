#include "WatermarkFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Archive.h"
#include "SafeFileWrite.h"

namespace azuz {

namespace {

std::string Errno(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

LoadResult LoadWatermarkFile(const std::string& path, CORVELIXImageToolDoc& doc,
                             std::string* error) {
  std::filebuf file;
  if (file.open(path, std::ios::in | std::ios::binary) == nullptr) {
    if (error != nullptr) {
      *error = Errno("cannot open", path);
    }
    return LoadResult::CannotOpen;
  }
  ArchiveReader reader(file);
  return doc.Serialize(reader, error) ? LoadResult::Loaded : LoadResult::FormatError;
}

bool SaveWatermarkFile(const std::string& path, CORVELIXImageToolDoc& doc, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error != nullptr) {
      *error = why;
    }
    return false;
  };

  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  std::string why;
  if (!doc.Serialize(writer, &why)) {
    return fail(why);
  }
  return WriteFileSafely(path, buffer.str(), error);
}

}  // namespace azuz
