// Writing a text into another program's field by posting it the input a person
// would give: a click, thirty Backspaces, the text's characters, two closing clicks.
#pragma once

#include <windows.h>

#include <string_view>

namespace caption {

// What a delivery carries. The value is the lParam of its character messages:
// lyrics lines mark theirs with 1, captions with 0.
enum class TextKind : LPARAM { kCaption = 0, kLyricsLine = 1 };

// Replaces the text before the caret in `target`. Posts only and never waits for
// the target; returns after about 10 ms, dispatching this thread's messages
// meanwhile, so a nested delivery can land between the two closing clicks.
void SendCaption(HWND target, std::string_view text, TextKind kind = TextKind::kCaption);

// True where the system's ANSI code page is GBK (936). There a delivery posts
// the text's bytes, as it always has; elsewhere the target would read those
// bytes in its own code page, so the text travels as UTF-16 instead.
bool AnsiIsGbk();

// One character message per byte, first to last: a double-byte character arrives
// as two, lead byte first.
void PostTextBytes(HWND window, std::string_view text, TextKind kind);

}  // namespace caption
