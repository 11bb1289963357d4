#pragma once

// Qt comes uninstrumented: ThreadSanitizer cannot see the locks inside its
// queued calls, posted events and thread ends, and would take every hand-off
// made through them for a race. These marks tell it about such a hand-off:
// the handing thread marks the key after its last write, the receiving thread
// marks the same key before its first read. Without ThreadSanitizer they are
// nothing.

#if defined(__SANITIZE_THREAD__)
#define NORVANE_TSAN_ENABLED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define NORVANE_TSAN_ENABLED 1
#endif
#endif

#if defined(NORVANE_TSAN_ENABLED)
#include <sanitizer/tsan_interface.h>
// Everything this thread wrote so far is visible to a thread that later calls
// NORVANE_HANDED_OVER with the same key.
#define NORVANE_HAND_OVER(key) __tsan_release(const_cast<void*>(static_cast<const volatile void*>(key)))
#define NORVANE_HANDED_OVER(key) __tsan_acquire(const_cast<void*>(static_cast<const volatile void*>(key)))
#else
#define NORVANE_HAND_OVER(key) static_cast<void>(0)
#define NORVANE_HANDED_OVER(key) static_cast<void>(0)
#endif
