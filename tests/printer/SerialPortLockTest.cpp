#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "CPortCom.h"

namespace azuz {
namespace {

// Another program on the port: the advisory lock serial programs take, which holds against root
// as well, and the message says who it is.
TEST(SerialPortLock, APortLockedElsewhereIsRefusedNamingTheHolder) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);
  int ready[2];
  int release[2];
  ASSERT_EQ(pipe2(ready, O_CLOEXEC), 0);
  ASSERT_EQ(pipe2(release, O_CLOEXEC), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    close(release[1]);
    close(ready[0]);
    const int fd = open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const char ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
    (void)!write(ready[1], &ok, 1);
    char any = 0;
    (void)!read(release[0], &any, 1);
    _exit(0);
  }
  close(ready[1]);
  close(release[0]);
  char ok = 0;
  ASSERT_EQ(read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');

  CommSettings settings;
  settings.portName = slave;
  settings.noFlowControl = true;  // a pseudo-terminal has no modem lines
  CPortCom port;
  ASSERT_TRUE(port.Configure(settings));
  EXPECT_FALSE(port.Open());
  EXPECT_NE(port.LastError().find("in use by"), std::string::npos) << port.LastError();
  EXPECT_NE(port.LastError().find("(pid " + std::to_string(holder) + ")"), std::string::npos)
      << port.LastError();

  close(release[1]);
  int status = 0;
  waitpid(holder, &status, 0);
  ASSERT_TRUE(port.Open()) << port.LastError();
  // Now the port is ours: another open either fails or cannot take the lock.
  const int other = open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (other >= 0) {
    EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
    close(other);
  } else {
    EXPECT_EQ(errno, EBUSY);
  }
  port.Close();
  close(master);
  close(ready[0]);
}

}  // namespace
}  // namespace azuz
