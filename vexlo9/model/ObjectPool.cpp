#include "vexlo9/model/detail/ObjectPool.h"

#include <atomic>
#include <cstdint>
#include <new>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/detail/Poison.h"

namespace vexlo9::detail {
namespace {

constexpr std::size_t kChunkBytes = 16 * 1024;
// Each block is preceded by its chunk, so that any thread can free it.
constexpr std::size_t kPrefix = kPoolAlignment;
constexpr std::size_t kLargest = 512;
// What a thread keeps for its next document: 64 MiB.
constexpr std::size_t kMaxSpares = 4096;

struct alignas(kPoolAlignment) Chunk {
  // Blocks in use, and one more while the chunk is a thread's current one.
  std::atomic<uint32_t> live{1};
  Chunk* nextSpare = nullptr;
  char* cursor = nullptr;

  char* End() noexcept { return reinterpret_cast<char*>(this) + kChunkBytes; }
  // A block freed stays poisoned for the address sanitizer until its chunk is used again.
  void Restart() noexcept {
    live.store(1, std::memory_order_relaxed);
    cursor = reinterpret_cast<char*>(this + 1);
    VEXLO9_UNPOISON(cursor, static_cast<std::size_t>(End() - cursor));
  }
};
static_assert(sizeof(Chunk) % kPoolAlignment == 0);

void Delete(Chunk* chunk) noexcept { ::operator delete(static_cast<void*>(chunk)); }

class Pool {
 public:
  ~Pool();

  void* Allocate(std::size_t bytes) {
    if (!current_ || static_cast<std::size_t>(current_->End() - current_->cursor) < bytes) Refill();
    char* block = current_->cursor;
    current_->cursor += bytes;
    current_->live.fetch_add(1, std::memory_order_relaxed);
    *reinterpret_cast<Chunk**>(block) = current_;
    return block + kPrefix;
  }

  void Recycle(Chunk* chunk) noexcept {
    if (spareCount_ >= kMaxSpares) return Delete(chunk);
    chunk->nextSpare = spares_;
    spares_ = chunk;
    ++spareCount_;
  }

  void ReleaseSpares() noexcept {
    while (spares_) Delete(std::exchange(spares_, spares_->nextSpare));
    spareCount_ = 0;
  }

 private:
  void Refill();

  Chunk* current_ = nullptr;
  Chunk* spares_ = nullptr;
  std::size_t spareCount_ = 0;
};

// A chunk freed by a thread-local object after the thread's pool is gone goes back to the heap.
thread_local bool t_poolGone = false;
thread_local Pool t_pool;

void Release(Chunk* chunk) noexcept {
  if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  if (t_poolGone) return Delete(chunk);
  t_pool.Recycle(chunk);
}

void Pool::Refill() {
  Chunk* chunk = spares_;
  if (chunk) {
    spares_ = chunk->nextSpare;
    --spareCount_;
  } else {
    chunk = new (::operator new(kChunkBytes)) Chunk;
  }
  chunk->Restart();
  if (current_) Release(std::exchange(current_, nullptr));
  current_ = chunk;
}

Pool::~Pool() {
  t_poolGone = true;
  ReleaseSpares();
  if (current_) Release(current_);
}

}  // namespace

void* PoolAllocate(std::size_t bytes) {
  const std::size_t size = (bytes + kPrefix + kPoolAlignment - 1) & ~(kPoolAlignment - 1);
  if (size > kLargest || t_poolGone) {
    char* block = static_cast<char*>(::operator new(size));
    *reinterpret_cast<Chunk**>(block) = nullptr;
    return block + kPrefix;
  }
  return t_pool.Allocate(size);
}

void PoolFree(void* block, std::size_t bytes) noexcept {
  char* start = static_cast<char*>(block) - kPrefix;
  Chunk* chunk = *reinterpret_cast<Chunk**>(start);
  if (!chunk) return ::operator delete(start);
  VEXLO9_POISON(block, bytes);
  Release(chunk);
}

void ReleasePoolSpares() noexcept {
  if (!t_poolGone) t_pool.ReleaseSpares();
}

}  // namespace vexlo9::detail
