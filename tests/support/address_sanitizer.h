// A test that caps the bench's memory cannot run where the bench runs under the address
// sanitizer, which maps more than any data limit allows: the bench of this build does when the
// tests do (gcc and clang say so each in their own way), and there such a test skips.
#pragma once

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define BENCH_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BENCH_UNDER_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(BENCH_UNDER_ADDRESS_SANITIZER)
#define SKIP_UNDER_ADDRESS_SANITIZER() GTEST_SKIP() << "the address sanitizer maps more than any data limit allows"
#else
#define SKIP_UNDER_ADDRESS_SANITIZER() static_cast<void>(0)
#endif
