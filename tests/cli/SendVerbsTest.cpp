#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CORVELIXImageToolDoc.h"
#include "EmulatorProcess.h"
#include "TestData.h"
#include "WatermarkFile.h"
#include "connection/RegistryFixture.h"
#include "printer/CupsdTest.h"
#include "printer/SilentListener.h"

namespace azuz {
namespace {

const std::string kAzuz = AZUZ_BINARY_DIR "/cli/azuz";

struct Outcome {
  int status = -1;
  std::string output;  // stdout and stderr together
};

Outcome Azuz(const std::string& arguments, const std::string& workDir = ".") {
  Outcome outcome;
  std::FILE* pipe =
      popen(("cd '" + workDir + "' && '" + kAzuz + "' " + arguments + " 2>&1").c_str(), "r");
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while (pipe && (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    outcome.output.append(buffer.data(), n);
  }
  const int raw = pipe ? pclose(pipe) : -1;
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return outcome;
}

using test::Emulator;

TEST(AzuzSend, CommandsAndADesignReachTheEmulator) {
  test::TempDir dir;
  CORVELIXImageToolDoc doc;
  DrawObject* rect = doc.FindOrCreateObject(-1);
  rect->kind = 3;
  rect->left = 10;
  rect->top = 10;
  rect->right = 100;
  rect->bottom = 50;
  doc.AppendAtTail(rect);
  ASSERT_TRUE(SaveWatermarkFile(dir / "d.bwi", doc));

  Emulator emulator(dir.Path().string(), 3);
  ASSERT_GT(emulator.port, 0);
  const std::string port = " --port tcp://127.0.0.1:" + std::to_string(emulator.port);
  const Outcome on = Azuz("on" + port);
  EXPECT_EQ(on.status, 0) << on.output;
  EXPECT_NE(on.output.find("Set watermark On.: Completed"), std::string::npos) << on.output;
  const Outcome send = Azuz("send d.bwi --model QPT-L712" + port, dir.Path().string());
  EXPECT_EQ(send.status, 0) << send.output;
  EXPECT_NE(send.output.find("Download Watermark image: Completed"), std::string::npos);
  const Outcome permanent = Azuz("permanent-on" + port);
  EXPECT_EQ(permanent.status, 0) << permanent.output;

  const std::string log = emulator.Finish();
  EXPECT_NE(log.find("#1 watermark on"), std::string::npos) << log;
  EXPECT_NE(log.find("#2 download 576 x 330 dots (23769 image bytes)"), std::string::npos) << log;
  EXPECT_NE(log.find("#3 memory switch 6 = 00100000 (permanent watermark on)"), std::string::npos)
      << log;
  EXPECT_TRUE(std::filesystem::exists(dir / "watermark-1.png"));
  EXPECT_EQ(std::filesystem::file_size(dir / "watermark-1.bin"), 23769u);
}

TEST(AzuzSend, FailuresGiveTheSystemsTextsAndAFailingStatus) {
  test::TempDir dir;
  const Outcome refused = Azuz("off --port tcp://127.0.0.1:1");
  EXPECT_EQ(refused.status, 4);
  EXPECT_NE(refused.output.find("Error : Failed to connected \r\nPlease, check IP port "
                                "configuration in printer control pannel \"PORT\""),
            std::string::npos)
      << refused.output;
  EXPECT_NE(refused.output.find("Set watermark Off.: Failed"), std::string::npos);

  const Outcome missing = Azuz("test-page --port /dev/usb/lp-azuz-absent");
  EXPECT_EQ(missing.status, 4);
  EXPECT_NE(missing.output.find("Error : Can't open port!"), std::string::npos) << missing.output;
  EXPECT_NE(missing.output.find("/dev/usb/lp-azuz-absent"), std::string::npos);

  EXPECT_EQ(Azuz("on --port tcp://printer:99999").status, 2);
  EXPECT_EQ(Azuz("send absent.bwi --port tcp://127.0.0.1:1", dir.Path().string()).status, 3);
}

// The store and the spooler the tool reads: a store for the run through AZUZ_REGISTRY.
class AzuzSendStored : public test::CupsdTest {
 protected:
  void UseStore(const std::string& body) {
    setenv("AZUZ_REGISTRY",
           test::WriteRegFile(dir, "registry.reg", body, test::RegEncoding::Ansi).c_str(), 1);
  }
  void TearDown() override {
    unsetenv("AZUZ_REGISTRY");
    test::CupsdTest::TearDown();
  }
  test::TempDir dir;
};

TEST_F(AzuzSendStored, TheCommandLineTakesTheMakersSettingsOrAQueuesDevice) {
  Emulator emulator(dir.Path().string(), 3);
  ASSERT_GT(emulator.port, 0);
  char port[16];
  std::snprintf(port, sizeof port, "%08x", emulator.port);
  UseStore(std::string("[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L712\\KDW\\Custom]\r\n"
                       "\"Port\"=\"NET\"\r\n\"TcpIp\"=\"127.0.0.1\"\r\n\"TcpPort\"=dword:") +
           port + "\r\n");
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712",
                             "socket://127.0.0.1:" + std::to_string(emulator.port)))
      << cupsd.Error();

  const Outcome on = Azuz("on --command-line 'Custom QPT-L712'");
  EXPECT_EQ(on.status, 0) << on.output;
  const Outcome off = Azuz("off --command-line till");
  EXPECT_EQ(off.status, 0) << off.output;
  const Outcome test = Azuz("comm-test --command-line 'Custom QPT-L712'");
  EXPECT_EQ(test.status, 0) << test.output;
  const std::string log = emulator.Finish();
  EXPECT_NE(log.find("#1 watermark on"), std::string::npos) << log;
  EXPECT_NE(log.find("#2 watermark off"), std::string::npos) << log;
  EXPECT_NE(log.find("#3 "), std::string::npos) << log;

  // One connection at a time: the tail and an explicit port contradict each other.
  const Outcome both = Azuz("on --command-line till --port COM1");
  EXPECT_NE(both.status, 0);
  EXPECT_NE(both.output.find("excludes"), std::string::npos) << both.output;
  const Outcome help = Azuz("on --help");
  EXPECT_NE(help.output.find("--command-line"), std::string::npos) << help.output;
  EXPECT_NE(help.output.find("default: no tail, which is COM1"), std::string::npos);
}

using test::SilentListener;

TEST(AzuzSend, CtrlCEndsAConnectThatIsNeverAnsweredAtOnce) {
  SilentListener silent;
  ASSERT_TRUE(silent.full) << "the listener's queue never filled";
  const std::string target = "tcp://127.0.0.1:" + std::to_string(silent.port);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execl(kAzuz.c_str(), "azuz", "on", "--port", target.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the connect did not hang";
  const auto start = std::chrono::steady_clock::now();
  kill(child, SIGINT);
  ASSERT_EQ(waitpid(child, &status, 0), child);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  RecordProperty("interruptMs", static_cast<int>(took.count()));
  // The open gives up after 10 s by itself; an interrupt ends it well before.
  EXPECT_LT(took.count(), 2000);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by the signal instead of ending the verb";
  EXPECT_EQ(WEXITSTATUS(status), 6) << "the cancel's own status";
}

}  // namespace
}  // namespace azuz
