#include "SafeFileWrite.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstring>
#include <fstream>
#include <set>

#include "ChildProcess.h"
#include "TestData.h"

namespace azuz {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Put(const std::string& path, const std::string& text, mode_t mode = 0644) {
  { std::ofstream(path, std::ios::binary) << text; }
  ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

struct stat Stat(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path << ": " << std::strerror(errno);
  return st;
}

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// An access ACL in the kernel's xattr form: owner rw-, user 12345 r--, group r--, mask r--,
// other ---, which makes the mode 0640.
std::string NamedUserAcl() {
  std::string acl;
  const auto put = [&acl](std::uint32_t value, int bytes) {
    for (int n = 0; n < bytes; ++n) {
      acl.push_back(static_cast<char>(value >> (8 * n)));
    }
  };
  put(2, 4);  // version
  const std::uint32_t none = 0xFFFFFFFFu;
  for (const auto& [tag, perm, id] :
       {std::tuple{0x01u, 6u, none}, std::tuple{0x02u, 4u, 12345u}, std::tuple{0x04u, 4u, none},
        std::tuple{0x10u, 4u, none}, std::tuple{0x20u, 0u, none}}) {
    put(tag, 2);
    put(perm, 2);
    put(id, 4);
  }
  return acl;
}

std::string Attribute(const std::string& path, const char* name) {
  char value[256];
  const ssize_t n = getxattr(path.c_str(), name, value, sizeof value);
  return n < 0 ? std::string("(none: ") + std::strerror(errno) + ")"
               : std::string(value, static_cast<std::size_t>(n));
}

class SafeFileWrite : public ::testing::Test {
 protected:
  test::TempDir dir;
  const std::string path = dir / "design.bwi";
};

TEST_F(SafeFileWrite, AFileTheUserMayNotWriteIsRefusedAndLeftAsItWas) {
  Put(path, "previous contents", 0444);
  const std::string fifo = dir / "fifo.bwi";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  test::HandToUnprivileged(dir.Path());
  test::AsUnprivileged([&] {
    std::string error;
    EXPECT_FALSE(WriteFileSafely(path, "new contents", &error));
    EXPECT_NE(error.find(std::strerror(EACCES)), std::string::npos) << error;
    // A pipe or device is no design file: refused at once, without waiting for a reader.
    EXPECT_FALSE(WriteFileSafely(fifo, "new contents", &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  });
  EXPECT_EQ(Contents(path), "previous contents");
  EXPECT_EQ(Stat(path).st_mode & 07777, 0444u);
  EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"design.bwi", "fifo.bwi"}));
}

TEST_F(SafeFileWrite, AReplacedFileKeepsModeAclAndAttributesAndTheNewModeFollowsTheUmask) {
  Put(path, "previous contents", 0600);
  test::HandToUnprivileged(dir.Path());
  test::AsUnprivileged([&] {
    if (setxattr(path.c_str(), "user.azuz.origin", "kept", 4, 0) != 0 && errno == ENOTSUP) {
      GTEST_SKIP() << "this file system keeps no extended attributes";
    }
    const std::string acl = NamedUserAcl();
    ASSERT_EQ(setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0)
        << std::strerror(errno);
    const std::string aclBefore = Attribute(path, "system.posix_acl_access");
    const ino_t before = Stat(path).st_ino;

    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, "new contents", &error)) << error;
    EXPECT_EQ(Contents(path), "new contents");
    EXPECT_NE(Stat(path).st_ino, before) << "a plain file is replaced whole, by a rename";
    EXPECT_EQ(Stat(path).st_mode & 07777, 0640u);
    EXPECT_EQ(Attribute(path, "user.azuz.origin"), "kept");
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"), aclBefore);

    // A new file: the kernel applies the umask, and no temporary stays behind.
    const mode_t previous = umask(027);
    EXPECT_TRUE(WriteFileSafely(dir / "new.bwi", "x", &error)) << error;
    umask(previous);
    EXPECT_EQ(Stat(dir / "new.bwi").st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(dir.Path()), (std::set<std::string>{"design.bwi", "new.bwi"}));
  });
}

TEST_F(SafeFileWrite, AnAclTheFolderHandsOnDoesNotStickToAReplacedFile) {
  Put(path, "previous contents", 0644);
  test::HandToUnprivileged(dir.Path());
  test::AsUnprivileged([&] {
    const std::string acl = NamedUserAcl();
    if (setxattr(dir.Path().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0) {
      GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    }
    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, "new contents", &error)) << error;
    EXPECT_EQ(Attribute(path, "system.posix_acl_access"),
              std::string("(none: ") + std::strerror(ENODATA) + ")");
    EXPECT_EQ(Stat(path).st_mode & 07777, 0644u);
  });
}

// Links, a foreign owner and a closed folder all rule out a rename: the file is written in place
// (same inode), and its backup is gone once the save is done.
TEST_F(SafeFileWrite, FilesARenameWouldChangeAreWrittenInPlace) {
  const std::string linked = dir / "linked.bwi";
  const std::string other = dir / "other.bwi";
  const std::string closed = dir / "closed";
  const std::string inClosed = closed + "/design.bwi";
  const std::string temp = dir / "tmp";
  Put(path, "previous contents");
  ASSERT_EQ(link(path.c_str(), linked.c_str()), 0);
  fs::create_directory(closed);
  fs::create_directory(temp);
  Put(inClosed, "previous contents");
  Put(other, "previous contents", 0666);
  test::HandToUnprivileged(dir.Path());
  // Only root can give a file to someone else; its own stays with it for the unprivileged child.
  const bool foreignOwner = geteuid() == 0 && lchown(other.c_str(), 0, 0) == 0;
  ASSERT_EQ(chmod(closed.c_str(), 0555), 0);
  setenv("TMPDIR", temp.c_str(), 1);
  const ino_t inodes[] = {Stat(path).st_ino, Stat(other).st_ino, Stat(inClosed).st_ino};

  test::AsUnprivileged([&] {
    std::string error;
    EXPECT_TRUE(WriteFileSafely(linked, "new contents", &error)) << error;
    if (foreignOwner) {
      EXPECT_TRUE(WriteFileSafely(other, "new contents", &error)) << error;
    }
    EXPECT_TRUE(WriteFileSafely(inClosed, "new", &error)) << error;
  });
  unsetenv("TMPDIR");
  chmod(closed.c_str(), 0755);
  EXPECT_EQ(Contents(path), "new contents");
  EXPECT_EQ(Stat(path).st_nlink, 2u);
  EXPECT_EQ(Stat(path).st_ino, inodes[0]);
  if (foreignOwner) {
    EXPECT_EQ(Contents(other), "new contents");
    EXPECT_EQ(Stat(other).st_ino, inodes[1]);
    EXPECT_EQ(Stat(other).st_uid, 0u);
  }
  EXPECT_EQ(Contents(inClosed), "new");  // shorter than before: the rest is cut off
  EXPECT_EQ(Stat(inClosed).st_ino, inodes[2]);
  EXPECT_EQ(Entries(dir.Path()),
            (std::set<std::string>{"design.bwi", "linked.bwi", "other.bwi", "closed", "tmp"}));
  EXPECT_EQ(Entries(closed), std::set<std::string>{"design.bwi"});
  EXPECT_TRUE(Entries(temp).empty()) << "backup left in the temporary folder";
}

TEST_F(SafeFileWrite, AFullDiskFailsWithItsReasonAndLeavesThePreviousContents) {
  const std::string disk = dir / "disk";
  fs::create_directory(disk);
  const std::string big(256 * 1024, 'n');
  const bool ran = test::WithSmallDisk(disk, 64 * 1024, [&] {
    const std::string file = disk + "/design.bwi";
    const std::string twin = disk + "/twin.bwi";
    Put(file, "previous contents");
    std::string error;
    EXPECT_FALSE(WriteFileSafely(file, big, &error));  // by a temporary and a rename
    EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
    EXPECT_EQ(Contents(file), "previous contents");
    EXPECT_EQ(Entries(disk), std::set<std::string>{"design.bwi"});

    ASSERT_EQ(link(file.c_str(), twin.c_str()), 0);
    error.clear();
    EXPECT_FALSE(WriteFileSafely(twin, big, &error));  // in place, over the old contents
    EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
    EXPECT_EQ(error.find("kept in"), std::string::npos) << error;
    EXPECT_EQ(Contents(file), "previous contents");
    EXPECT_EQ(Entries(disk), (std::set<std::string>{"design.bwi", "twin.bwi"}));
  });
  if (!ran) {
    GTEST_SKIP() << "this kernel gives this user no private mounts";
  }
}

}  // namespace
}  // namespace azuz
