#include "AbandonedJobs.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "CupsConnection.h"

namespace azuz {

namespace {

class AbandonedJobs {
 public:
  AbandonedJobs() = default;
  ~AbandonedJobs() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    changed.notify_all();
    if (thread.joinable()) {
      thread.join();
    }
  }
  AbandonedJobs(const AbandonedJobs&) = delete;
  AbandonedJobs& operator=(const AbandonedJobs&) = delete;

  void Add(std::string queue, int jobId) {
    std::lock_guard lock(mutex);
    pending.emplace_back(std::move(queue), jobId);
    if (!thread.joinable()) {
      thread = std::thread([this] { Serve(); });
    }
    changed.notify_all();
  }

 private:
  void Serve() {
    for (;;) {
      std::unique_lock lock(mutex);
      changed.wait(lock, [this] { return stopping || !pending.empty(); });
      if (pending.empty()) {
        return;
      }
      const auto [queue, jobId] = pending.front();
      pending.pop_front();
      lock.unlock();
      CupsConnection cups;
      if (cups.Open()) {
        cupsCancelJob2(cups.Http(), queue.c_str(), jobId, 0);
      }
    }
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::pair<std::string, int>> pending;
  bool stopping = false;
  std::thread thread;
};

}  // namespace

void CancelAbandonedJobLater(const std::string& queue, int jobId) {
  static AbandonedJobs jobs;
  jobs.Add(queue, jobId);
}

}  // namespace azuz
