#pragma once

#include <string>

namespace azuz {

// Who else has a device node open or locked, as far as this user may see: "minicom (pid
// 1234)", several joined with ", "; empty when nobody visible is. Reads /proc/locks for flock
// and lock-file holders of the node and the open files of every process.
std::string DescribePortHolders(const std::string& node);

}  // namespace azuz
