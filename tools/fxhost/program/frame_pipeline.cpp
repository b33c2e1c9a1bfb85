#include "frame_pipeline.h"

namespace fxhost::program {

FramePipeline::FramePipeline(int threads, WriteBytes write)
    : write_(std::move(write)), limit_(2 * static_cast<std::size_t>(threads)) {
  for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { work(); });
}

FramePipeline::~FramePipeline() { finish(); }

bool FramePipeline::submit(Work work) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return submitted_ - written_ < limit_ || writeFailed_; });
  if (writeFailed_) return false;
  queue_.emplace_back(submitted_++, std::move(work));
  changed_.notify_all();
  return true;
}

bool FramePipeline::finish() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) {
    if (worker.joinable()) worker.join();
  }
  const std::lock_guard lock(mutex_);
  return !writeFailed_;
}

void FramePipeline::work() {
  for (;;) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
    if (queue_.empty()) return;
    auto [number, job] = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    const protocol::FrameReply reply = job();
    lock.lock();
    // Frames are taken in order, so the frame before this one is already being worked on.
    changed_.wait(lock, [&] { return written_ == number; });
    if (!writeFailed_ && !protocol::writeReply(reply, write_)) writeFailed_ = true;
    ++written_;
    changed_.notify_all();
  }
}

}  // namespace fxhost::program
