#pragma once

#include <string>

namespace azuz {

// Gives the open file `toFd` exactly the extended attributes of the file at `fromPath`, access
// ACL (system.posix_acl_access) included, and removes those it has that `fromPath` lacks (a
// default ACL the folder passed on). False when one cannot be read, set or removed: the caller
// then keeps the old file rather than replace it with one that differs.
bool CopyExtendedAttributes(const std::string& fromPath, int toFd);

}  // namespace azuz
