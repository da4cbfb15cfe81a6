#pragma once
#include <cstdint>

// Program-wide flags are 16-bit truth values: true is -1, false is 0.
// A test for true compares with -1, so a flag holding 1 counts as false.
using VBool = std::int16_t;
inline constexpr VBool VTrue = -1;
inline constexpr VBool VFalse = 0;

inline constexpr bool isTrue(VBool v) { return v == VTrue; }
inline constexpr VBool toVBool(bool b) { return b ? VTrue : VFalse; }
