#pragma once

#include <string>

#include "CORVELIXImageToolDoc.h"

namespace azuz {

enum class LoadResult {
  Loaded,
  CannotOpen,   // nothing was read; the design is untouched
  FormatError,  // the design holds what was read before the error
};

LoadResult LoadWatermarkFile(const std::string& path, CORVELIXImageToolDoc& doc,
                             std::string* error = nullptr);

// Writes the design to `path` by WriteFileSafely: a failed or interrupted save leaves the
// previous file as it was, and a file the user may not write is refused.
bool SaveWatermarkFile(const std::string& path, CORVELIXImageToolDoc& doc,
                       std::string* error = nullptr);

}  // namespace azuz
