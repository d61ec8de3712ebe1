// A fuzz target's check: a property that does not hold ends the run, saying which.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void Require(bool holds, const char* what = "a property does not hold") {
  if (holds) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}
