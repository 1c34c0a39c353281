// Tells ThreadSanitizer about the ordering that Qt's mutexes and wait
// conditions give: Qt's library is not instrumented, so without this the
// hand-over inside a contended QMutex is invisible to it. No effect in other
// builds.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define ZU_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZU_TSAN 1
#endif
#endif

#ifdef ZU_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#define ZU_TSAN_ACQUIRE(addr) __tsan_acquire(static_cast<void*>(addr))
#define ZU_TSAN_RELEASE(addr) __tsan_release(static_cast<void*>(addr))
#else
#define ZU_TSAN_ACQUIRE(addr) ((void)0)
#define ZU_TSAN_RELEASE(addr) ((void)0)
#endif
