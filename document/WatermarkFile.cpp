#include "WatermarkFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Archive.h"

namespace azuz {

namespace {

std::string Errno(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Saving through a symbolic link replaces the file it points to, not the link.
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

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
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
  const std::string bytes = buffer.str();

  const std::string target = ResolveTarget(path);
  std::string temp = target + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    return fail(Errno("cannot create a file in", DirectoryOf(target)));
  }
  struct stat existing {};
  mode_t mode = 0;
  if (stat(target.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  const bool written = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  const std::string writeError = written ? "" : Errno("cannot write", temp);
  if (close(fd) != 0 && written) {
    unlink(temp.c_str());
    return fail(Errno("cannot write", temp));
  }
  if (!written) {
    unlink(temp.c_str());
    return fail(writeError);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const std::string renameError = Errno("cannot replace", target);
    unlink(temp.c_str());
    return fail(renameError);
  }
  const int dir = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace azuz
