#pragma once

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace azuz::test {

// Checks run in a forked child: what the child cannot undo (a user, a mount) stays with it.

inline int FailedChecks() {
  const ::testing::TestResult* result =
      ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result->total_part_count(); ++i) {
    failed += result->GetTestPartResult(i).failed() ? 1 : 0;
  }
  return failed;
}

// Exit status of a child that found it could not set up what the test needs.
inline constexpr int kChildCannotSetUp = 77;

// Runs `body` in a child process; its failed checks (printed by the child) fail this test.
// Returns false when the child exited with kChildCannotSetUp.
inline bool InChild(const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    ADD_FAILURE() << "fork: " << std::strerror(errno);
    return false;
  }
  if (child == 0) {
    const int before = FailedChecks();
    try {
      body();
    } catch (...) {
      ADD_FAILURE() << "the child threw";
    }
    std::fflush(nullptr);
    _exit(FailedChecks() == before ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == kChildCannotSetUp) {
    return false;
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the child's checks failed (see above); wait status " << status;
  return true;
}

// The user that root's runs switch to for checks that root would pass.
inline uid_t UnprivilegedUid() {
  const passwd* nobody = getpwnam("nobody");
  return nobody != nullptr ? nobody->pw_uid : 65534;
}
inline gid_t UnprivilegedGid() {
  const passwd* nobody = getpwnam("nobody");
  return nobody != nullptr ? nobody->pw_gid : 65534;
}

// For root, hands `path` and everything under it to that user, so that it can work there.
inline void HandToUnprivileged(const std::filesystem::path& path) {
  if (geteuid() != 0) {
    return;
  }
  const auto give = [](const std::filesystem::path& p) {
    EXPECT_EQ(lchown(p.c_str(), UnprivilegedUid(), UnprivilegedGid()), 0) << p;
  };
  give(path);
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
      give(entry.path());
    }
  }
}

// Runs `body` as a user whom permissions stop: directly for such a user, else (root) in a child
// that has become nobody.
inline void AsUnprivileged(const std::function<void()>& body) {
  if (geteuid() != 0) {
    body();
    return;
  }
  InChild([&body] {
    if (setgroups(0, nullptr) != 0 || setgid(UnprivilegedGid()) != 0 ||
        setuid(UnprivilegedUid()) != 0) {
      ADD_FAILURE() << "cannot become nobody: " << std::strerror(errno);
      return;
    }
    body();
  });
}

inline bool WriteProcFile(const char* path, const std::string& text) {
  const int fd = open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  return written;
}

// A private mount namespace for this process, as the same user: root has it outright, another
// user through a user namespace that maps only itself (its capabilities there then dropped).
inline bool EnterPrivateMounts() {
  const uid_t uid = geteuid();
  const gid_t gid = getegid();
  if (uid == 0) {
    if (unshare(CLONE_NEWNS) != 0) {
      return false;
    }
  } else if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
             !WriteProcFile("/proc/self/uid_map",
                            std::to_string(uid) + " " + std::to_string(uid) + " 1\n") ||
             !WriteProcFile("/proc/self/setgroups", "deny") ||
             !WriteProcFile("/proc/self/gid_map",
                            std::to_string(gid) + " " + std::to_string(gid) + " 1\n")) {
    return false;
  }
  // Nothing mounted here may show in the namespace the test was started in.
  return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

inline void DropCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  syscall(SYS_capset, &header, data);
}

// Runs `body` in a child that sees an empty file system of `bytes` bytes at `dir`: a disk that
// fills up, for root as for anyone. False (the test to be skipped) where this kernel gives the
// user no private mounts.
inline bool WithSmallDisk(const std::string& dir, std::size_t bytes,
                          const std::function<void()>& body) {
  return InChild([&] {
    const bool root = geteuid() == 0;
    if (!EnterPrivateMounts()) {
      std::fprintf(stderr, "no private mount namespace: %s\n", std::strerror(errno));
      _exit(kChildCannotSetUp);
    }
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (mount("tmpfs", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
      ADD_FAILURE() << "cannot mount a small disk on " << dir << ": " << std::strerror(errno);
      return;
    }
    if (!root) {
      DropCapabilities();
    }
    body();
  });
}

}  // namespace azuz::test
