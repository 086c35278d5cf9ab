#pragma once

#include <string>

namespace azuz {

// Replaces the contents of the file at `path` (through a symbolic link, of the file it names)
// with `bytes`, so that a failed or interrupted write leaves the previous contents whole.
//
// A file the user may not write is refused. Where nothing but the contents can tell the new
// file from the old, a synced temporary file is renamed over it. A file with several links, of
// another owner, in a folder the user may not write, or whose group or attributes the temporary
// cannot take, is written in place instead, after its old contents are copied to a synced backup
// that is removed once the new contents are complete and synced. Either way the file keeps its
// owner, mode, ACLs and extended attributes.
//
// On failure `error` says what failed, ending in the system's reason.
bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace azuz
