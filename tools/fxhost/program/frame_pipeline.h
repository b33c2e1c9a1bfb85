#pragma once
// Frames in flight: handed in in order, worked on by a few threads at once, replied to in order.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "fxhost/frame_protocol.h"

namespace fxhost::program {

using protocol::WriteBytes;

class FramePipeline {
 public:
  using Work = std::function<protocol::FrameReply()>;

  // `threads` workers; at most twice as many frames are in flight (handed in, not yet replied).
  FramePipeline(int threads, WriteBytes write);
  ~FramePipeline();  // finishes every frame handed in
  FramePipeline(const FramePipeline&) = delete;
  FramePipeline& operator=(const FramePipeline&) = delete;

  // Hands in the next frame's work; waits while the pipeline is full. False once a reply could not
  // be written: the frame is dropped and so are all after it.
  bool submit(Work work);
  // Waits for every frame handed in; true when every reply was written.
  bool finish();

 private:
  void work();

  WriteBytes write_;
  std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<std::uint64_t, Work>> queue_;  // frames not yet taken, by number
  std::uint64_t submitted_ = 0;
  std::uint64_t written_ = 0;  // frames replied to (or dropped): the next one to write
  bool closing_ = false;
  bool writeFailed_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace fxhost::program
