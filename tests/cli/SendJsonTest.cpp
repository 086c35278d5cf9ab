#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "CORVELIXImageToolDoc.h"
#include "EmulatorProcess.h"
#include "RunAzuz.h"
#include "TestData.h"
#include "WatermarkFile.h"

namespace azuz {
namespace {

using nlohmann::json;
using test::Emulator;
using test::RunAzuz;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The standard output must be exactly one JSON object: parse fails on anything around it.
json Parse(const test::CommandResult& result) {
  json j = json::parse(result.out, nullptr, false);
  EXPECT_TRUE(j.is_object()) << result.out;
  return j.is_object() ? j : json::object();
}

void SaveDesign(const std::filesystem::path& path) {
  CORVELIXImageToolDoc doc;
  DrawObject* ellipse = doc.FindOrCreateObject(-1);
  ellipse->kind = 4;
  ellipse->left = 20;
  ellipse->top = 30;
  ellipse->right = 300;
  ellipse->bottom = 200;
  doc.AppendAtTail(ellipse);
  ASSERT_TRUE(SaveWatermarkFile(path, doc));
}

std::string Sha256Of(const std::string& path) {
  std::FILE* pipe = popen(("sha256sum '" + path + "'").c_str(), "r");
  char digest[65] = {};
  const bool read = pipe != nullptr && std::fread(digest, 1, 64, pipe) == 64;
  if (pipe != nullptr) {
    pclose(pipe);
  }
  return read ? digest : "";
}

TEST(AzuzJson, ACompletedSendNamesTheImageTheEmulatorGotAndWhereItWent) {
  test::TempDir dir;
  SaveDesign(dir / "d.bwi");
  Emulator emulator(dir.Path().string(), 2);
  ASSERT_GT(emulator.port, 0);
  const std::string port = " --port tcp://127.0.0.1:" + std::to_string(emulator.port);

  const test::CommandResult send = RunAzuz("send d.bwi --json --model QPT-L712" + port, dir.Path());
  EXPECT_EQ(send.status, 0);
  const json report = Parse(send);
  const json on = Parse(RunAzuz("on --json" + port));
  emulator.Finish();

  EXPECT_EQ(report["verb"], "send");
  EXPECT_EQ(report["outcome"], "completed");
  EXPECT_EQ(report["exitCode"], 0);
  EXPECT_EQ(report["connection"],
            json({{"kind", "TCP/IP"}, {"port", "127.0.0.1"}, {"tcpPort", emulator.port}}));
  EXPECT_EQ(report["design"]["width"], 576);
  EXPECT_EQ(report["design"]["height"], 330);
  EXPECT_EQ(report["design"]["imageBytes"], 23769);
  EXPECT_EQ(report["bytes"], 23773);
  EXPECT_EQ(report["bytesSent"], 23773);
  EXPECT_FALSE(report.contains("failure"));
  // The digest is that of the image bytes as the printer took them.
  ASSERT_TRUE(std::filesystem::exists(dir / "watermark-1.bin"));
  EXPECT_EQ(report["design"]["sha256"], Sha256Of(dir / "watermark-1.bin"));
  ASSERT_EQ(RunAzuz("render d.bwi --model QPT-L712 -o img.bin", dir.Path()).status, 0);
  EXPECT_EQ(ReadFile(dir / "img.bin"), ReadFile(dir / "watermark-1.bin"));
  EXPECT_GE(report["seconds"].get<double>(), 1.0) << "the finishing second is part of it";

  EXPECT_EQ(on["verb"], "on");
  EXPECT_EQ(on["caption"], "Set watermark On.");
  EXPECT_EQ(on["bytesSent"], 4);
  EXPECT_EQ(on["outcome"], "completed");
}

TEST(AzuzJson, CheckResolvesAndRendersButOpensNothing) {
  test::TempDir dir;
  SaveDesign(dir / "d.bwi");
  // One connection only: the check must not be it.
  Emulator emulator(dir.Path().string(), 1);
  ASSERT_GT(emulator.port, 0);
  const std::string port = " --port tcp://127.0.0.1:" + std::to_string(emulator.port);
  const test::CommandResult check = RunAzuz("send d.bwi --check --json" + port, dir.Path());
  EXPECT_EQ(check.status, 0);
  const json report = Parse(check);
  const test::CommandResult text = RunAzuz("send d.bwi --check" + port, dir.Path());
  EXPECT_EQ(RunAzuz("off" + port).status, 0);
  const std::string log = emulator.Finish();

  EXPECT_NE(log.find("#1 watermark off"), std::string::npos) << log;
  EXPECT_EQ(report["outcome"], "checked");
  EXPECT_EQ(report["check"], true);
  EXPECT_EQ(report["bytes"], 21133);
  EXPECT_EQ(report["bytesSent"], 0);
  ASSERT_EQ(RunAzuz("render d.bwi -o img.bin", dir.Path()).status, 0);
  EXPECT_EQ(report["design"]["sha256"], Sha256Of(dir / "img.bin"));
  EXPECT_EQ(text.out,
            "would send 21133 bytes (Download Watermark image, d.bwi 512 x 330 dots, "
            "SHA-256 " +
                Sha256Of(dir / "img.bin") + ") to TCP/IP 127.0.0.1 port " +
                std::to_string(emulator.port) + "\n");
  // A design that can't be sent fails the check as it would fail the send.
  EXPECT_EQ(RunAzuz("send absent.bwi --check" + port, dir.Path()).status, 3);
  const json serial = Parse(RunAzuz("on --check --json --port COM1 --baud 19200"));
  EXPECT_EQ(serial["connection"],
            json({{"kind", "serial"}, {"port", "COM1"}, {"node", "/dev/ttyS0"}, {"speed", 19200}}));
}

TEST(AzuzJson, EachFailureHasItsStatusStepMessageAndReason) {
  test::TempDir dir;
  const json refused = Parse(RunAzuz("off --json --port tcp://127.0.0.1:1"));
  EXPECT_EQ(refused["exitCode"], 4);
  EXPECT_EQ(refused["outcome"], "failed");
  EXPECT_EQ(refused["failure"]["step"], "open");
  EXPECT_EQ(refused["failure"]["message"],
            "Error : Failed to connected \r\nPlease, check IP port configuration in printer "
            "control pannel \"PORT\"");
  EXPECT_EQ(refused["failure"]["reason"], "connect to 127.0.0.1:1: Connection refused");
  EXPECT_EQ(refused["failure"]["cause"], "Connection refused");
  EXPECT_EQ(RunAzuz("off --json --port tcp://127.0.0.1:1").status, 4);

  const json absent = Parse(RunAzuz("test-page --json --port /dev/usb/lp-azuz-absent"));
  EXPECT_EQ(absent["exitCode"], 4);
  EXPECT_EQ(absent["failure"]["message"], "Error : Can't open port!");
  EXPECT_EQ(absent["failure"]["reason"], "open /dev/usb/lp-azuz-absent: No such file or directory");

  std::ofstream(dir / "bad.bwi") << "not a design";
  const test::CommandResult bad = RunAzuz("send bad.bwi --json --port COM1", dir.Path());
  EXPECT_EQ(bad.status, 3);
  EXPECT_EQ(Parse(bad)["failure"]["step"], "design");
  const test::CommandResult page = RunAzuz("send bad.bwi --json --page 9x --port COM1", dir.Path());
  EXPECT_EQ(page.status, 3) << "the design is refused before the page is looked at";
  SaveDesign(dir / "d.bwi");
  const test::CommandResult huge =
      RunAzuz("send d.bwi --json --page 70000x2 --port COM1", dir.Path());
  EXPECT_EQ(huge.status, 3);
  EXPECT_EQ(RunAzuz("send d.bwi --json --page 9x --port COM1", dir.Path()).status, 2);
  const test::CommandResult usage = RunAzuz("on --json --port tcp://printer:99999");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(Parse(usage)["failure"]["step"], "usage");

  const test::CommandResult comm = RunAzuz("comm-test --json --port tcp://127.0.0.1:1");
  EXPECT_EQ(comm.status, 4);
  EXPECT_EQ(Parse(comm)["failure"]["cause"], "Connection refused");
}

// A printer that takes the connection and the first bytes, then resets it: the open succeeds, the
// bytes don't all go.
TEST(AzuzJson, APrinterThatDropsTheConnectionIsAFailedTransfer) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  socklen_t size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  const timeval bound{10, 0};
  setsockopt(listener, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
  std::thread printer([listener] {
    const int peer = accept(listener, nullptr, nullptr);
    // Reset only once the first bytes came, or the client's connect may see the reset itself.
    char first[64];
    const timeval wait{10, 0};
    setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    (void)!read(peer, first, sizeof first);
    const linger reset{1, 0};
    setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    close(peer);
  });
  const test::CommandResult result =
      RunAzuz("test-page --json --port tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
  printer.join();
  close(listener);
  EXPECT_EQ(result.status, 5);
  const json report = Parse(result);
  EXPECT_EQ(report["failure"]["step"], "transfer");
  EXPECT_EQ(report["failure"]["message"], "Error : Data transfer is failed!");
  EXPECT_LT(report["bytesSent"].get<int>(), 4028);
  EXPECT_FALSE(report["failure"]["reason"].get<std::string>().empty());
}

TEST(AzuzJson, HelpListsTheExitStatuses) {
  const std::string help = RunAzuz("--help").out;
  EXPECT_NE(help.find("3  design refused"), std::string::npos) << help;
  EXPECT_NE(help.find("6  cancelled by Ctrl-C"), std::string::npos);
  EXPECT_NE(RunAzuz("send --help").out.find("4  the connection could not be opened"),
            std::string::npos);
}

}  // namespace
}  // namespace azuz
