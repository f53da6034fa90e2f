// Worker threads of the windows. A worker is started per operation and ends
// by itself; the owner joins it at the latest when the Worker goes away.
// Workers reach windows only through window messages (PostMessageW, or
// SendMessageW where the window must have acted before the worker goes on).
#pragma once

#include <functional>
#include <stop_token>
#include <thread>

namespace vm {

class Worker {
  public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    // Asks the work to stop and waits for it.
    ~Worker() { Stop(); }

    // Starts work on a new thread; a previous run is stopped and joined first.
    void Start(std::function<void(std::stop_token)> work) {
        Stop();
        thread_ = std::jthread(std::move(work));
    }
    void Stop() {
        if (thread_.joinable()) {
            thread_.request_stop();
            thread_.join();
        }
    }
    // Asks the work to stop without waiting (it checks its stop_token).
    void RequestStop() { thread_.request_stop(); }
    bool Running() const { return thread_.joinable(); }

  private:
    std::jthread thread_;
};

}  // namespace vm
