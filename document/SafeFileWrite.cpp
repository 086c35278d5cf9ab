#include "SafeFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>
#include <vector>

#include "ExtendedAttributes.h"

namespace azuz {

namespace {

std::string Errno(const std::string& what, const std::string& path, int code) {
  return what + " " + path + ": " + std::strerror(code);
}

// A descriptor closed with its owner.
class OpenFile {
 public:
  OpenFile() = default;
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() {
    if (fd_ >= 0) {
      close(fd_);
    }
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  OpenFile(OpenFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  OpenFile& operator=(OpenFile&&) = delete;

  int Fd() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Some file systems (NFS) report a failed write only here.
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_ = -1;
};

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Saving through a symbolic link writes the file it names, not the link.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) {
      return resolved;
    }
  }
  return path;
}

// A new file "stem.XXXXXX" created with `mode`: the kernel takes off the umask (or applies the
// folder's default ACL), which the process-wide umask() could only read by changing it.
OpenFile CreateUnique(const std::string& stem, mode_t mode, std::string& name) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device random;
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = stem + ".";
    for (int n = 0; n < 6; ++n) {
      name += kLetters[pick(random)];
    }
    const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) {
      return OpenFile(fd);
    }
  }
  return OpenFile();
}

bool WriteAt(int fd, const char* data, std::size_t size, off_t offset) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes `to` a synced copy of the whole of `from`, exactly as long.
bool CopyContents(int from, int to) {
  constexpr std::size_t kChunk = std::size_t{64} * 1024;
  std::vector<char> buffer(kChunk);
  off_t offset = 0;
  for (;;) {
    const ssize_t n = pread(from, buffer.data(), buffer.size(), offset);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (n == 0) {
      break;
    }
    if (!WriteAt(to, buffer.data(), static_cast<std::size_t>(n), offset)) {
      return false;
    }
    offset += n;
  }
  return ftruncate(to, offset) == 0 && fsync(to) == 0;
}

void SyncDirectory(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

enum class Outcome { Done, Failed, WriteInPlace };

// A synced temporary beside `target` renamed over it. `old` describes the file it replaces
// (null for a new file); when the temporary cannot take its group or attributes, nothing is
// replaced and the file is to be written in place.
Outcome ReplaceByRename(const std::string& target, const std::string& bytes, const struct stat* old,
                        std::string& why) {
  std::string temp;
  OpenFile file = CreateUnique(target, 0666, temp);
  if (!file.IsOpen()) {
    const int code = errno;
    if (old != nullptr && (code == EACCES || code == EPERM)) {
      return Outcome::WriteInPlace;
    }
    why = Errno("cannot create a file in", DirectoryOf(target), code);
    return Outcome::Failed;
  }
  const auto discard = [&temp](Outcome outcome) {
    unlink(temp.c_str());
    return outcome;
  };
  if (!WriteAt(file.Fd(), bytes.data(), bytes.size(), 0)) {
    why = Errno("cannot write", target, errno);
    return discard(Outcome::Failed);
  }
  if (old != nullptr) {
    // The group first: changing it clears a set-group-ID bit that the mode then restores.
    struct stat now {};
    if (fstat(file.Fd(), &now) != 0 ||
        (now.st_gid != old->st_gid &&
         fchown(file.Fd(), static_cast<uid_t>(-1), old->st_gid) != 0) ||
        !CopyExtendedAttributes(target, file.Fd()) ||
        fchmod(file.Fd(), old->st_mode & 07777) != 0) {
      return discard(Outcome::WriteInPlace);
    }
  }
  if (fsync(file.Fd()) != 0 || !file.Close()) {
    why = Errno("cannot write", target, errno);
    return discard(Outcome::Failed);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    why = Errno("cannot replace", target, errno);
    return discard(Outcome::Failed);
  }
  SyncDirectory(DirectoryOf(target));
  return Outcome::Done;
}

// The backup beside the file, or in the temporary folder when the file's folder is closed.
OpenFile CreateBackup(const std::string& target, bool besideTarget, std::string& name) {
  std::string stem = target;
  if (!besideTarget) {
    std::error_code ignored;
    std::filesystem::path dir = std::filesystem::temp_directory_path(ignored);
    stem = ((dir.empty() ? std::filesystem::path("/tmp") : dir) / FileNameOf(target)).string();
  }
  return CreateUnique(stem + "~", 0600, name);
}

// Writes over the file itself, so its inode, links, owner and attributes stay. The old contents
// wait in a synced backup until the new ones are complete and synced; a failed write puts them
// back, and only a failed restore leaves the backup (named in the error).
bool WriteInPlace(const std::string& target, const std::string& bytes, bool backupBeside,
                  std::string& why) {
  OpenFile file(open(target.c_str(), O_RDWR | O_CLOEXEC));
  if (!file.IsOpen()) {
    why = Errno("cannot open", target, errno);
    return false;
  }
  std::string backupName;
  OpenFile backup = CreateBackup(target, backupBeside, backupName);
  if (!backup.IsOpen()) {
    why = Errno("cannot create a backup of", target, errno);
    return false;
  }
  if (!CopyContents(file.Fd(), backup.Fd())) {
    why = Errno("cannot back up " + target + " to", backupName, errno);
    unlink(backupName.c_str());
    return false;
  }
  if (WriteAt(file.Fd(), bytes.data(), bytes.size(), 0) &&
      ftruncate(file.Fd(), static_cast<off_t>(bytes.size())) == 0 && fsync(file.Fd()) == 0) {
    if (!file.Close()) {
      why = Errno("cannot write", target, errno) + "; the previous contents are kept in " +
            backupName;
      return false;
    }
    unlink(backupName.c_str());
    return true;
  }
  why = Errno("cannot write", target, errno);
  if (CopyContents(backup.Fd(), file.Fd())) {
    unlink(backupName.c_str());
  } else {
    why += "; the previous contents are kept in " + backupName;
  }
  return false;
}

bool Write(const std::string& path, const std::string& bytes, std::string& why) {
  const std::string target = ResolveTarget(path);
  struct stat old {};
  if (stat(target.c_str(), &old) != 0) {
    if (errno != ENOENT) {
      why = Errno("cannot open", target, errno);
      return false;
    }
    return ReplaceByRename(target, bytes, nullptr, why) == Outcome::Done;
  }
  if (!S_ISREG(old.st_mode)) {
    why = target + ": not a regular file";
    return false;
  }
  // Asked of the kernel, not read from the mode bits: ACLs, immutable files, read-only mounts.
  if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    why = Errno("cannot write", target, errno);
    return false;
  }
  const bool folderWritable =
      faccessat(AT_FDCWD, DirectoryOf(target).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
  if (folderWritable && old.st_nlink == 1 && old.st_uid == geteuid()) {
    const Outcome outcome = ReplaceByRename(target, bytes, &old, why);
    if (outcome != Outcome::WriteInPlace) {
      return outcome == Outcome::Done;
    }
  }
  return WriteInPlace(target, bytes, folderWritable, why);
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::string& bytes, std::string* error) {
  std::string why;
  const bool written = Write(path, bytes, why);
  if (!written && error != nullptr) {
    *error = why;
  }
  return written;
}

}  // namespace azuz
