// GCC 12 at -O2 and above takes std::string's concatenation of a literal and a temporary text
// ("-" + text, "「" + name) for copies between overlapping bytes and warns -Wrestrict: a false
// positive of its inlining of std::string, gone in later releases. Put around a function where
// it arises, these two silence that one warning there alone; every other warning stays on.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#define ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wrestrict\"")
#define ZK_GCC12_RESTRICT_FALSE_POSITIVE_END _Pragma("GCC diagnostic pop")
#else
#define ZK_GCC12_RESTRICT_FALSE_POSITIVE_BEGIN
#define ZK_GCC12_RESTRICT_FALSE_POSITIVE_END
#endif
