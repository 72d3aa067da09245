// What the build's sanitizers change for the program. AddressSanitizer and
// ThreadSanitizer reserve terabytes of address space for themselves, so a
// build with either can neither limit a process's address space nor see an
// allocation fail for want of it: ORVANE_SANITIZER_RESERVES_MEMORY is then
// defined.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVANE_SANITIZER_RESERVES_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORVANE_SANITIZER_RESERVES_MEMORY 1
#endif
#endif
