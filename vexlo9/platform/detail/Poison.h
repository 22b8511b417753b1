#pragma once

// Memory the library keeps for reuse, marked unusable for the address sanitizer while it is kept, so that an object
// or node used after its release is still reported there; elsewhere these do nothing.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VEXLO9_POISON(block, size) ASAN_POISON_MEMORY_REGION(block, size)
#define VEXLO9_UNPOISON(block, size) ASAN_UNPOISON_MEMORY_REGION(block, size)
#else
#define VEXLO9_POISON(block, size) ((void)(block), (void)(size))
#define VEXLO9_UNPOISON(block, size) ((void)(block), (void)(size))
#endif
