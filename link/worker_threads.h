#pragma once
// The threads a link engine starts: its communication thread and one per
// scan. A thread that has ended is joined when the next one starts or when
// asked, so that repeated scans leave nothing behind. Telling them to end
// is the engine's business; this only starts and joins them.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace pelmora {

class WorkerThreads {
 public:
  WorkerThreads() = default;
  ~WorkerThreads() { joinAll(); }
  WorkerThreads(const WorkerThreads&) = delete;
  WorkerThreads& operator=(const WorkerThreads&) = delete;

  void start(std::function<void()> body);
  // Joins the threads that have ended: true once none is left.
  bool joinFinished();
  // Waits for every thread, ended or not.
  void joinAll();

 private:
  struct Worker {
    std::thread thread;
    std::unique_ptr<std::atomic<bool>> done;
  };
  void joinFinishedLocked();  // the caller holds lock_

  std::mutex lock_;  // the list of threads
  std::vector<Worker> workers_;
};

}  // namespace pelmora
