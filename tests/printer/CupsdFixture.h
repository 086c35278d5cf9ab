#pragma once

// A private cupsd for tests and benchmarks; it never touches the system's print service.
//
//   azuz::test::PrivateCupsd cupsd;
//   if (!azuz::test::PrivateCupsd::Installed()) { skip }
//   cupsd.Start();                       // fresh dir, daemon up, CUPS_SERVER set in this process
//   cupsd.AddQueue("slip", "ORVELIX QPT-L710");            // jobs land in the capture dir
//   cupsd.AddQueue("till", "ORVELIX QPT-L712", "serial:/dev/ttyS0");  // any URI
//   ... code under test prints to "slip" ...
//   cupsd.WaitForJobs(1, std::chrono::seconds(5));
//   for (const auto& job : cupsd.Jobs()) { job.queue, job.title, job.bytes }
//   cupsd.Stop();                        // also done by the destructor
//
// Layout: everything lives in a short directory /tmp/azc.XXXXXX (a unix socket path must stay
// under 108 bytes): cupsd.conf and cups-files.conf, the daemon's ServerRoot, spool, cache, state
// and logs (log/error_log), a ServerBin whose only backend is the capture script (also installed
// under the names serial, parallel, usb and socket, so queues on such URIs can be made and their
// jobs are captured too, never sent to a device), and jobs/ where each finished job leaves
// <id>.data (its bytes), <id>.title and <id>.queue.
//
// The daemon listens on <dir>/sock only. Start() sets CUPS_SERVER to that socket in this process,
// so child processes (lpadmin, the azuz tool) inherit it; in-process code must reach the server
// through that variable (the printer library reads it on every connection). libcups caches
// cupsServer() per thread, so don't let code under test call cupsServer() before Start().
// Stop() restores the variable's previous value. Never run cupsctl against this daemon.
//
// Access is open to every local user (no authentication), so queues can be made and changed by
// whoever runs the tests. Run as root, the daemon's User/Group become lp (or nobody) as cupsd
// demands, and the capture backend is made root-only so cupsd runs it as root and it can write to
// the directory; run as a normal user, everything runs as that user. The daemon gets
// PR_SET_PDEATHSIG, so a crashed test doesn't leave it running; the directory is removed by Stop().
// Call Start() from the thread that will outlive the daemon (the test's main thread).
//
// Set AZUZ_CUPSD_DEBUG=1 to get a debug-level error_log (and keep the directory after Stop()).

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace azuz::test {

// One job the capture backend received.
struct CapturedJob {
  int id = 0;
  std::string queue;
  std::string title;
  std::vector<std::uint8_t> bytes;
};

class PrivateCupsd {
 public:
  PrivateCupsd() = default;
  ~PrivateCupsd() { Stop(); }
  PrivateCupsd(const PrivateCupsd&) = delete;
  PrivateCupsd& operator=(const PrivateCupsd&) = delete;

  // cupsd, lpadmin and cups-exec are present; otherwise callers skip with SkipReason().
  static bool Installed() { return SkipReason().empty(); }
  static std::string SkipReason();

  // Makes the directory, starts the daemon, waits (polling) until its socket accepts a
  // connection, sets CUPS_SERVER.
  // False with Error() when it doesn't come up within a few seconds.
  bool Start();
  // Ends the daemon (SIGTERM, repeated, then SIGKILL after 3 s) and removes the directory.
  void Stop();
  bool Running() const { return pid > 0; }
  // Stops and resumes the daemon (SIGSTOP, SIGCONT): while it is frozen, every exchange with it
  // stalls, as with a print service that hangs. Stop() thaws it first.
  bool Freeze() { return pid > 0 && kill(pid, SIGSTOP) == 0; }
  bool Thaw() { return pid > 0 && kill(pid, SIGCONT) == 0; }

  const std::string& Error() const { return error; }
  const std::filesystem::path& Dir() const { return dir; }
  std::string Socket() const { return (dir / "sock").string(); }
  // The device URI of the capture backend.
  static std::string CaptureUri() { return "capture:/jobs"; }

  // lpadmin -p name -E -v deviceUri -P <a PPD whose *NickName is makeAndModel>.
  bool AddQueue(const std::string& name, const std::string& makeAndModel,
                const std::string& deviceUri = CaptureUri());
  bool RemoveQueue(const std::string& name) { return Tool({"lpadmin", "-x", name}); }
  // cupsaccept / cupsreject: a rejecting queue refuses new jobs.
  bool AcceptJobs(const std::string& name, bool accept) {
    return Tool({accept ? "cupsaccept" : "cupsreject", name});
  }
  // cupsenable / cupsdisable: a disabled queue holds its jobs instead of printing them.
  bool EnableQueue(const std::string& name, bool enable) {
    return Tool({enable ? "cupsenable" : "cupsdisable", name});
  }

  // Finished jobs of every queue, in job id order.
  std::vector<CapturedJob> Jobs() const;
  // Polls until at least `count` jobs finished; false on time-out.
  bool WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const;
  // Forgets the captured jobs (the next ids keep counting).
  void ClearJobs() const;

  // The daemon's error_log, for failure messages.
  std::string ErrorLog() const { return ReadText(dir / "log" / "error_log"); }

  // Runs one of the client tools (found in the sbin/bin dirs or PATH) against this daemon; its
  // combined output goes to `output` and, on failure, to Error().
  bool Tool(const std::vector<std::string>& argv, std::string* output = nullptr);

 private:
  static std::optional<std::string> FindProgram(const std::string& name);
  static std::optional<std::string> FindCupsExec();
  static bool Accepts(const std::string& socketPath);
  static std::string ReadText(const std::filesystem::path& path);
  static bool WriteText(const std::filesystem::path& path, const std::string& text,
                        mode_t mode = 0644);
  bool Prepare();
  std::string FilesConf() const;
  std::string DaemonConf() const;

  std::filesystem::path dir;
  pid_t pid = -1;
  std::string error;
  std::optional<std::string> savedServer;
};

// --- implementation -------------------------------------------------------------------------

// argv: job-id user title copies options [file]. Without arguments cupsd asks for its devices.
inline constexpr char kCaptureBackend[] = R"(#!/bin/sh
[ $# -eq 0 ] && { echo 'direct capture "Unknown" "Capture"'; exit 0; }
jobs="${0%/bin/backend/*}/jobs"
if [ -n "$6" ]; then cat "$6" > "$jobs/$1.tmp" || exit 1
else cat > "$jobs/$1.tmp" || exit 1; fi
printf '%s' "$3" > "$jobs/$1.title"
printf '%s' "$PRINTER" > "$jobs/$1.queue"
mv "$jobs/$1.tmp" "$jobs/$1.data"
)";

inline std::optional<std::string> PrivateCupsd::FindProgram(const std::string& name) {
  std::vector<std::string> dirs = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};
  if (const char* path = std::getenv("PATH")) {
    std::stringstream parts(path);
    for (std::string part; std::getline(parts, part, ':');) {
      if (!part.empty()) {
        dirs.push_back(part);
      }
    }
  }
  for (const auto& d : dirs) {
    const std::string candidate = d + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

inline std::optional<std::string> PrivateCupsd::FindCupsExec() {
  for (const char* candidate :
       {"/usr/lib/cups/daemon/cups-exec", "/usr/libexec/cups/daemon/cups-exec",
        "/usr/local/lib/cups/daemon/cups-exec"}) {
    if (access(candidate, X_OK) == 0) {
      return std::string(candidate);
    }
  }
  return std::nullopt;
}

inline std::string PrivateCupsd::SkipReason() {
  for (const char* program : {"cupsd", "lpadmin", "cupsaccept", "cupsreject"}) {
    if (!FindProgram(program)) {
      return std::string(program) + " is not installed (packages cups-daemon, cups-client)";
    }
  }
  if (!FindCupsExec()) {
    return "cups-exec is not installed (package cups-daemon)";
  }
  return {};
}

inline std::string PrivateCupsd::ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool PrivateCupsd::WriteText(const std::filesystem::path& path, const std::string& text,
                                    mode_t mode) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return out.good() && chmod(path.c_str(), mode) == 0;
}

inline std::string PrivateCupsd::FilesConf() const {
  const std::string d = dir.string();
  std::string conf = "ServerRoot " + d + "/root\nRequestRoot " + d + "/spool\nTempDir " + d +
                     "/tmp\nCacheDir " + d + "/cache\nStateDir " + d + "/state\nServerBin " + d +
                     "/bin\nPrintcap " + d + "/printcap\nErrorLog " + d +
                     "/log/error_log\nAccessLog " + d + "/log/access_log\nPageLog " + d +
                     "/log/page_log\nFileDevice Yes\n";
  // Only root can switch users; cupsd then refuses to run its children as root, and its Group
  // must differ from SystemGroup.
  if (geteuid() == 0) {
    const bool haveLp = getpwnam("lp") != nullptr && getgrnam("lp") != nullptr;
    conf += haveLp ? "User lp\nGroup lp\n" : "User nobody\nGroup nogroup\n";
    conf += "SystemGroup root\n";
  }
  return conf;
}

inline std::string PrivateCupsd::DaemonConf() const {
  const bool debug = std::getenv("AZUZ_CUPSD_DEBUG") != nullptr;
  return "Listen " + Socket() +
         "\nBrowsing No\nBrowseLocalProtocols none\nDefaultEncryption Never\nWebInterface No\n"
         "LogLevel " +
         std::string(debug ? "debug" : "warn") +
         "\nMaxJobs 0\nPreserveJobHistory No\nPreserveJobFiles No\n"
         "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n";
}

inline bool PrivateCupsd::Prepare() {
  char pattern[] = "/tmp/azc.XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    error = std::string("mkdtemp: ") + std::strerror(errno);
    return false;
  }
  dir = pattern;
  chmod(pattern, 0755);  // the daemon's children may run as another user
  std::error_code ec;
  for (const char* sub : {"root", "spool", "tmp", "cache", "state", "log", "jobs", "ppd",
                          "bin/backend", "bin/filter", "bin/daemon"}) {
    std::filesystem::create_directories(dir / sub, ec);
  }
  std::filesystem::create_symlink(*FindCupsExec(), dir / "bin/daemon/cups-exec", ec);
  if (ec) {
    error = "cannot link cups-exec: " + ec.message();
    return false;
  }
  // A backend only its owner may run is run as root by a root cupsd; else as the daemon's User.
  const mode_t backendMode = geteuid() == 0 ? 0700 : 0755;
  if (!WriteText(dir / "bin/backend/capture", kCaptureBackend, backendMode)) {
    error = "cannot write the capture backend";
    return false;
  }
  for (const char* alias : {"serial", "parallel", "usb", "socket"}) {
    std::filesystem::create_symlink("capture", dir / "bin/backend" / alias, ec);
  }
  if (!WriteText(dir / "cups-files.conf", FilesConf()) ||
      !WriteText(dir / "cupsd.conf", DaemonConf())) {
    error = "cannot write the configuration";
    return false;
  }
  return true;
}

inline bool PrivateCupsd::Accepts(const std::string& socketPath) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) {
    return false;
  }
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool accepted =
      fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (fd >= 0) {
    close(fd);
  }
  return accepted;
}

inline bool PrivateCupsd::Start() {
  Stop();
  error.clear();
  const auto cupsd = FindProgram("cupsd");
  if (!cupsd || !FindCupsExec()) {
    error = SkipReason();
    return false;
  }
  if (!Prepare()) {
    return false;
  }
  const std::string conf = (dir / "cupsd.conf").string();
  const std::string files = (dir / "cups-files.conf").string();
  const pid_t parent = getpid();
  pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
      _exit(1);
    }
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    execl(cupsd->c_str(), "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) {
    error = std::string("fork: ") + std::strerror(errno);
    return false;
  }
  // The socket file exists a moment before cupsd listens on it; a connect that succeeds is the
  // sign that it serves.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  const std::string socket = Socket();
  while (!Accepts(socket)) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      pid = -1;
      error = "cupsd ended at start:\n" + ErrorLog();
      return false;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      error = "cupsd did not listen within 5 s:\n" + ErrorLog();
      Stop();
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (const char* old = std::getenv("CUPS_SERVER")) {
    savedServer = old;
  }
  setenv("CUPS_SERVER", socket.c_str(), 1);
  return true;
}

inline void PrivateCupsd::Stop() {
  if (pid > 0) {
    Thaw();
    // A SIGTERM that lands while cupsd is busy is only seen when its next select times out, up to
    // a second later; repeating it wakes the select.
    const auto start = std::chrono::steady_clock::now();
    auto nextSignal = start;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
      const auto now = std::chrono::steady_clock::now();
      if (now - start > std::chrono::seconds(3)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      if (now >= nextSignal) {
        kill(pid, SIGTERM);
        nextSignal = now + std::chrono::milliseconds(50);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    pid = -1;
    if (savedServer) {
      setenv("CUPS_SERVER", savedServer->c_str(), 1);
    } else {
      unsetenv("CUPS_SERVER");
    }
    savedServer.reset();
  }
  if (!dir.empty() && std::getenv("AZUZ_CUPSD_DEBUG") == nullptr) {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  dir.clear();
}

inline bool PrivateCupsd::Tool(const std::vector<std::string>& argv, std::string* output) {
  const auto program = FindProgram(argv.at(0));
  if (!program) {
    error = argv[0] + " is not installed";
    return false;
  }
  int pipeFds[2];
  if (pipe(pipeFds) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  std::vector<char*> args;
  for (const auto& a : argv) {
    args.push_back(const_cast<char*>(a.c_str()));
  }
  args.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeFds[1], 1);
    dup2(pipeFds[1], 2);
    close(pipeFds[0]);
    close(pipeFds[1]);
    execv(program->c_str(), args.data());
    _exit(127);
  }
  close(pipeFds[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno != EINTR) {
      break;
    }
    if (n > 0) {
      text.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(pipeFds[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) {
    error = "cannot run " + argv[0];
    return false;
  }
  if (output != nullptr) {
    *output = text;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = argv[0] + " failed: " + text;
    return false;
  }
  return true;
}

inline bool PrivateCupsd::AddQueue(const std::string& name, const std::string& makeAndModel,
                                   const std::string& deviceUri) {
  // The smallest PPD cupsd takes; *NickName becomes printer-make-and-model, and the raw filter
  // line makes it a queue that passes jobs through untouched.
  const std::string ppd =
      "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
      "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"MODEL.PPD\"\n"
      "*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n*ModelName: \"" +
      makeAndModel + "\"\n*ShortNickName: \"" + makeAndModel + "\"\n*NickName: \"" + makeAndModel +
      "\"\n*PSVersion: \"(3010.000) 0\"\n*ColorDevice: False\n*DefaultColorSpace: Gray\n"
      "*cupsFilter: \"application/vnd.cups-raw 0 -\"\n"
      "*OpenUI *PageSize: PickOne\n*DefaultPageSize: Roll\n*PageSize Roll/Roll: \"\"\n"
      "*CloseUI: *PageSize\n*OpenUI *PageRegion: PickOne\n*DefaultPageRegion: Roll\n"
      "*PageRegion Roll/Roll: \"\"\n*CloseUI: *PageRegion\n*DefaultImageableArea: Roll\n"
      "*ImageableArea Roll/Roll: \"0 0 204 800\"\n*DefaultPaperDimension: Roll\n"
      "*PaperDimension Roll/Roll: \"204 800\"\n";
  const auto path = dir / "ppd" / (name + ".ppd");
  if (!WriteText(path, ppd)) {
    error = "cannot write " + path.string();
    return false;
  }
  return Tool({"lpadmin", "-p", name, "-E", "-v", deviceUri, "-P", path.string()});
}

inline std::vector<CapturedJob> PrivateCupsd::Jobs() const {
  std::vector<CapturedJob> jobs;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "jobs", ec)) {
    const auto path = entry.path();
    if (path.extension() != ".data") {
      continue;
    }
    CapturedJob job;
    job.id = std::atoi(path.stem().c_str());
    const std::string data = ReadText(path);
    job.bytes.assign(data.begin(), data.end());
    job.title = ReadText(dir / "jobs" / (path.stem().string() + ".title"));
    job.queue = ReadText(dir / "jobs" / (path.stem().string() + ".queue"));
    jobs.push_back(std::move(job));
  }
  std::sort(jobs.begin(), jobs.end(),
            [](const CapturedJob& a, const CapturedJob& b) { return a.id < b.id; });
  return jobs;
}

inline bool PrivateCupsd::WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    std::size_t done = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "jobs", ec)) {
      done += entry.path().extension() == ".data" ? 1 : 0;
    }
    if (done >= count) {
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

inline void PrivateCupsd::ClearJobs() const {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "jobs", ec)) {
    std::filesystem::remove(entry.path(), ec);
  }
}

}  // namespace azuz::test
