// The toolkit's edge: where the system calls into the program (a window
// procedure, the dispatch of a bound event, a timer, a hook procedure, a
// thread's entry). An exception must not cross the system's frames there: it
// would end the process. A body that fails by one (in practice std::bad_alloc)
// counts as an operation that failed, and the program goes on.
#pragma once

namespace ui {

// Runs `body`; false when it failed by an exception.
template <class Body>
bool Guarded(Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace ui
