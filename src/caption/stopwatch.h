// Milliseconds since it was made, on the performance counter: the tick count
// moves in steps of about 16 ms, too coarse for a 10 ms pause or for timing one.
#pragma once

#include <windows.h>

namespace caption {

class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double ElapsedMs() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_, start_;
};

}  // namespace caption
