#pragma once

// The thread's pool of blocks for objects read (PoolAllocate, Object.h).
namespace vexlo9::detail {

// Frees the chunks the thread keeps for its next document; chunks still in use are not affected.
void ReleasePoolSpares() noexcept;

}  // namespace vexlo9::detail
