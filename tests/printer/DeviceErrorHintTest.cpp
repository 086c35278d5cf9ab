#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "DeviceIo.h"

namespace azuz {
namespace {

// The hint follows the node's own group whatever its path says: a serial node of group dialout
// behind a link that isn't under /dev/tty is still told dialout.
TEST(DeviceErrorHints, PermissionHintsComeFromTheNodesGroup) {
  char dir[] = "/tmp/azuz-hint-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string node = std::string(dir) + "/lp0";
  const std::string link = std::string(dir) + "/ttyS0";
  ASSERT_GE(close(open(node.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0660)), 0);
  ASSERT_EQ(symlink(node.c_str(), link.c_str()), 0);
  ASSERT_EQ(chmod(dir, 0755), 0);

  const group* dialout = getgrnam("dialout");
  if (geteuid() == 0 && dialout != nullptr) {
    ASSERT_EQ(chown(node.c_str(), 0, dialout->gr_gid), 0);
    test::AsUnprivileged([&] {
      const int fd = open(link.c_str(), O_RDWR | O_CLOEXEC);
      ASSERT_LT(fd, 0);
      const std::string text = ErrnoText("open", link, errno);
      EXPECT_NE(text.find("add the user to group dialout"), std::string::npos) << text;
      EXPECT_EQ(text.find("group lp"), std::string::npos) << text;
    });
  }
  // A node of a group the user is in, which still refuses: joining would not help.
  const bool root = geteuid() == 0;
  ASSERT_EQ(chown(node.c_str(), root ? 0 : geteuid(), root ? test::UnprivilegedGid() : getegid()),
            0);
  ASSERT_EQ(chmod(node.c_str(), 0640), 0);
  test::AsUnprivileged([&] {
    const std::string own = ErrnoText("open", link, EACCES);
    EXPECT_NE(own.find("the user is in group"), std::string::npos) << own;
    EXPECT_EQ(own.find("add the user"), std::string::npos) << own;
  });
  // Group root, or no group access at all: no group to join.
  ASSERT_EQ(chmod(node.c_str(), 0600), 0);
  EXPECT_NE(ErrnoText("open", node, EACCES).find("udev rule"), std::string::npos);

  std::filesystem::remove_all(dir);
}

TEST(DeviceErrorHints, ANodeWithoutHardwareSaysSo) {
  for (const int error : {EIO, ENXIO, ENODEV}) {
    const std::string text = ErrnoText("open", "/dev/ttyS3", error);
    EXPECT_NE(text.find("no hardware answers behind this node"), std::string::npos) << text;
  }
  // A missing node is no hardware question.
  EXPECT_EQ(ErrnoText("open", "/dev/ttyS3", ENOENT).find("hardware"), std::string::npos);
}

}  // namespace
}  // namespace azuz
