#pragma once

// TV_SANITIZED is 1 in a build under AddressSanitizer (GCC or clang): the
// Access reader's limits and blocks differ there (see their uses).
#if defined(__SANITIZE_ADDRESS__)
#define TV_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TV_SANITIZED 1
#endif
#endif
#ifndef TV_SANITIZED
#define TV_SANITIZED 0
#endif
