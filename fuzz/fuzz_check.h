#pragma once
#include <cstdio>

// A broken rule ends the run at once, so that the fuzzer keeps the input as a crash.
[[noreturn]] inline void fuzzFail(const char* file, int line, const char* what)
{
    std::fprintf(stderr, "%s: broken at line %d: %s\n", file, line, what);
    __builtin_trap();
}
#define REQUIRE(cond) ((cond) ? void() : fuzzFail(__FILE__, __LINE__, #cond))
