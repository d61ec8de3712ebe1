// Long work in a handler without a frozen picture: the work runs on a thread
// of its own while this thread paints its windows and does nothing else, so no
// other handler runs in between and the state stays as the handler left it.
#pragma once

#include <functional>
#include <span>

namespace ui {

// Runs `work`, which must not touch a window, to its end; false when it
// failed by an exception.
bool PaintWhile(const std::function<void()>& work);

// Runs each of `works` on a thread of its own, all at once, so none waits for
// another, to the end of the last; false when one failed by an exception.
bool PaintWhile(std::span<const std::function<void()>> works);

}  // namespace ui
