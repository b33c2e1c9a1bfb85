// The host program's memory for frames: large blocks freed are kept for the next frame instead of
// going back to the system. Every frame asks for the same few large buffers (the frame read from
// the stream, the plug-in's input and output worlds, its scratch worlds, the reply), and memory
// fresh from the system costs a page fault per page on first touch: under Wine that was most of a
// frame's time in the host. Real hosts keep such a pool too.
//
// It replaces the program's global operator new and delete. Each block carries its usable size in
// a header, so that the unsized delete knows it; only blocks of kLargeBlock bytes or more are kept.

#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr std::size_t kHeader = 16;  // keeps the C library's alignment of what follows
constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
constexpr int kKeptBlocks = 16;
constexpr std::size_t kKeptBytes = std::size_t{1} << 30;

struct Pool {
  std::mutex mutex;
  void* blocks[kKeptBlocks] = {};  // each starts with its header
  std::size_t sizes[kKeptBlocks] = {};
  std::size_t keptBytes = 0;
};

Pool& pool() {
  static Pool* const instance = new (std::malloc(sizeof(Pool))) Pool;  // never destroyed: frees may come late
  return *instance;
}

std::size_t& sizeOf(void* block) { return *static_cast<std::size_t*>(block); }

// A kept block of at least `size` bytes and at most an eighth more, or null.
void* take(std::size_t size) {
  Pool& p = pool();
  const std::lock_guard lock(p.mutex);
  int best = -1;
  for (int i = 0; i < kKeptBlocks; ++i) {
    if (p.blocks[i] != nullptr && p.sizes[i] >= size && p.sizes[i] - size <= size / 8 &&
        (best < 0 || p.sizes[i] < p.sizes[best])) {
      best = i;
    }
  }
  if (best < 0) return nullptr;
  void* block = p.blocks[best];
  p.blocks[best] = nullptr;
  p.keptBytes -= p.sizes[best];
  return block;
}

// Keeps a freed block when there is room, else false; the oldest is not evicted, so a shot whose
// frame size changes keeps only what still fits.
bool keep(void* block, std::size_t size) {
  Pool& p = pool();
  const std::lock_guard lock(p.mutex);
  if (p.keptBytes + size > kKeptBytes) return false;
  for (int i = 0; i < kKeptBlocks; ++i) {
    if (p.blocks[i] == nullptr) {
      p.blocks[i] = block;
      p.sizes[i] = size;
      p.keptBytes += size;
      return true;
    }
  }
  return false;
}

void* allocate(std::size_t size) {
  if (size >= kLargeBlock) {
    if (void* block = take(size)) return static_cast<char*>(block) + kHeader;
  }
  if (size > static_cast<std::size_t>(-1) - kHeader) return nullptr;
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) return nullptr;
  sizeOf(block) = size;
  return static_cast<char*>(block) + kHeader;
}

void release(void* pointer) noexcept {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - kHeader;
  const std::size_t size = sizeOf(block);
  if (size >= kLargeBlock && keep(block, size)) return;
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* pointer = allocate(size)) return pointer;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* pointer) noexcept { release(pointer); }
void operator delete[](void* pointer) noexcept { release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { release(pointer); }
