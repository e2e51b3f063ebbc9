#include "link/worker_threads.h"

namespace pelmora {

void WorkerThreads::start(std::function<void()> body) {
  std::lock_guard<std::mutex> hold(lock_);
  joinFinishedLocked();
  auto done = std::make_unique<std::atomic<bool>>(false);
  std::atomic<bool>* doneFlag = done.get();
  workers_.push_back(Worker{std::thread([body = std::move(body), doneFlag] {
                              body();
                              doneFlag->store(true);
                            }),
                            std::move(done)});
}

bool WorkerThreads::joinFinished() {
  std::lock_guard<std::mutex> hold(lock_);
  joinFinishedLocked();
  return workers_.empty();
}

void WorkerThreads::joinFinishedLocked() {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

void WorkerThreads::joinAll() {
  // Joined outside the lock, so that a thread may still start another (a scan) before it ends.
  std::vector<Worker> workers;
  {
    std::lock_guard<std::mutex> hold(lock_);
    workers.swap(workers_);
  }
  for (Worker& worker : workers) worker.thread.join();
}

}  // namespace pelmora
