#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>

#include "CORVELIXImageToolDoc.h"
#include "EmulatorProcess.h"
#include "RunAzuz.h"
#include "TestData.h"
#include "WatermarkFile.h"

namespace azuz {
namespace {

using nlohmann::json;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A loopback port that is bound but never listens: every connect to it is refused.
class RefusingPort {
 public:
  RefusingPort() {
    fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
      port = ntohs(address.sin_port);
    }
  }
  ~RefusingPort() { close(fd); }
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  int port = 0;

 private:
  int fd = -1;
};

// What ansible-playbook's default output says of each host: its recap and its failures.
struct HostOutcome {
  int changed = -1;
  int failed = -1;
  std::string failures;  // the failed tasks' results, one a line
};
using RolloutOutcome = std::map<std::string, HostOutcome>;

RolloutOutcome ParseOutput(const std::string& out) {
  RolloutOutcome hosts;
  std::istringstream lines(out);
  const std::regex recap(R"(^(\S+)\s+: ok=\d+\s+changed=(\d+)\s+unreachable=\d+\s+failed=(\d+))");
  const std::regex fatal(R"(^fatal: \[([^\]]+)\]: FAILED! => (.*)$)");
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (std::regex_search(line, m, recap)) {
      hosts[m[1]].changed = std::stoi(m[2]);
      hosts[m[1]].failed = std::stoi(m[3]);
    } else if (std::regex_search(line, m, fatal)) {
      const json result = json::parse(m[2].str(), nullptr, false);
      hosts[m[1]].failures +=
          (result.is_object() ? result.value("msg", m[2].str()) : m[2].str()) + "\n";
    }
  }
  return hosts;
}

// The roll-out playbook over the inventory's hosts on this machine; its own temporary folders
// and home inside `dir`, so that any user can run it.
RolloutOutcome RunRollout(const test::TempDir& dir, const std::string& inventory,
                          std::string& out) {
  const std::string command =
      "cd '" + dir.Path().string() + "' && env HOME='" + dir / "home" + "' ANSIBLE_LOCAL_TEMP='" +
      dir / "home/local" + "' ANSIBLE_REMOTE_TEMP='" + dir / "home/remote" +
      "' ANSIBLE_NOCOLOR=1 ANSIBLE_FORKS=3 ANSIBLE_PIPELINING=1 "
      "ANSIBLE_RETRY_FILES_ENABLED=0 ansible-playbook -i '" +
      inventory + "' '" AZUZ_SOURCE_DIR "/examples/ansible/rollout.yml'" +
      " -e azuz_watermark_install_package=false -e azuz_watermark_azuz='" AZUZ_BINARY_DIR
      "/cli/azuz' -e azuz_watermark_design='" +
      dir / "autumn.bwi" + "' -e azuz_watermark_state_dir='" + dir / "state" +
      "' -e rollout_serial=3 -e rollout_max_fail_percentage=50 2>&1";
  out.clear();
  std::FILE* pipe = popen(command.c_str(), "r");
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while (pipe != nullptr && (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
    out.append(buffer.data(), n);
  }
  if (pipe != nullptr) {
    pclose(pipe);
  }
  return ParseOutput(out);
}

// Connects `count` times, so that an emulator waiting for connections that never came ends;
// one that has ended refuses them.
void EndEmulator(int port, int count) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  for (int i = 0; i < count; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(fd);
  }
}

TEST(AnsibleRollout, TwoPrintersGetTheImageTheThirdIsRefusedAndARerunChangesNothing) {
  if (std::system("command -v ansible-playbook >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "ansible-playbook is not installed";
  }
  test::TempDir dir;
  CORVELIXImageToolDoc doc;
  DrawObject* frame = doc.FindOrCreateObject(-1);
  frame->kind = 3;
  frame->left = 8;
  frame->top = 8;
  frame->right = 500;
  frame->bottom = 320;
  doc.AppendAtTail(frame);
  ASSERT_TRUE(SaveWatermarkFile(dir / "autumn.bwi", doc));
  ASSERT_EQ(test::RunAzuz("render autumn.bwi -o expected.bin", dir.Path()).status, 0);
  std::filesystem::create_directories(dir / "till1");
  std::filesystem::create_directories(dir / "till2");
  // Each printer takes the image and the switch, then its emulator ends.
  test::Emulator till1(dir / "till1", 2);
  test::Emulator till2(dir / "till2", 2);
  const RefusingPort till3;
  ASSERT_GT(till1.port, 0);
  ASSERT_GT(till2.port, 0);
  ASSERT_GT(till3.port, 0);
  std::ofstream(dir / "stores.ini")
      << "[stores]\n"
      << "till1 azuz_watermark_port=tcp://127.0.0.1:" << till1.port << "\n"
      << "till2 azuz_watermark_port=tcp://127.0.0.1:" << till2.port << "\n"
      << "till3 azuz_watermark_port=tcp://127.0.0.1:" << till3.port << "\n"
      << "[stores:vars]\nansible_connection=local\n"
      << "ansible_python_interpreter=/usr/bin/python3\n";

  std::string out;
  const RolloutOutcome first = RunRollout(dir, dir / "stores.ini", out);
  const std::string expected = ReadFile(dir / "expected.bin");
  ASSERT_FALSE(expected.empty());
  EndEmulator(till1.port, 2);
  EndEmulator(till2.port, 2);
  const std::string log1 = till1.Finish();
  const std::string log2 = till2.Finish();
  ASSERT_EQ(first.size(), 3u) << out;
  for (const char* host : {"till1", "till2"}) {
    EXPECT_GT(first.at(host).changed, 0) << host << ": " << out;
    EXPECT_EQ(first.at(host).failed, 0) << host << ": " << first.at(host).failures;
    EXPECT_EQ(ReadFile(dir.Path() / host / "watermark-1.bin"), expected) << host;
  }
  EXPECT_NE(log1.find("#2 watermark on"), std::string::npos) << log1;
  EXPECT_NE(log2.find("#2 watermark on"), std::string::npos) << log2;
  EXPECT_EQ(first.at("till3").failed, 1) << out;
  EXPECT_EQ(first.at("till3").changed, 0);
  const std::string& refused = first.at("till3").failures;
  EXPECT_NE(refused.find("Error : Failed to connected \r\nPlease, check IP port configuration in "
                         "printer control pannel \"PORT\""),
            std::string::npos)
      << refused;
  EXPECT_NE(refused.find("127.0.0.1:" + std::to_string(till3.port) + ": Connection refused"),
            std::string::npos)
      << refused;

  // The emulators are gone: a host that sent again would fail.
  const RolloutOutcome second = RunRollout(dir, dir / "stores.ini", out);
  ASSERT_EQ(second.size(), 3u) << out;
  for (const char* host : {"till1", "till2", "till3"}) {
    EXPECT_EQ(second.at(host).changed, 0) << host << ": " << out;
  }
  EXPECT_EQ(second.at("till1").failed, 0) << second.at("till1").failures;
  EXPECT_EQ(second.at("till2").failed, 0) << second.at("till2").failures;
  EXPECT_EQ(second.at("till3").failed, 1) << out;
}

}  // namespace
}  // namespace azuz
