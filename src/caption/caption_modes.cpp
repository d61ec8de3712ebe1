#include "caption/caption_modes.h"

#include <string>

#include "caption/delivery.h"
#include "caption/rotation.h"
#include "caption/waits.h"
#include "finder/target_handle.h"
#include "forms/main_form.h"
#include "text/numbers.h"

namespace caption {

namespace {

// A mode's run state is its button's caption.
constexpr char kStart[] = "开始滚动";
constexpr char kStop[] = "停止滚动";

// Handlers run nested inside the waits, so everything is read anew after each
// wait, and a closed main window ends the loop.
bool Running(ui::Button (*button)()) {
  return forms::MainOpen() && button().Text() == kStop;
}

int Pause(ui::Edit (*edit)()) {
  return text::ReadInteger(edit().Text());
}

void Deliver(std::string_view text) {
  SendCaption(finder::TargetHandle().value_or(nullptr), text);
}

// The scrolling text as bytes. 编辑框2 holds its text as Unicode, and bytes
// that form no GBK character do not survive the trip through it: the rotation
// makes such bytes out of full-width punctuation, which turns one byte at a
// time. So the bytes are kept here, with what the box showed for them, and the
// box's text is taken instead only once the user has changed it.
struct ScrollingText {
  std::string bytes;
  std::string shown;
};
ScrollingText g_scrolling;

// A click on a mode's button: a running mode stops and gives the field its
// nickname back; a stopped one starts. True when the mode starts.
bool Starts(ui::Button (*button)()) {
  if (button().Text() != kStart) {
    button().SetText(kStart);
    RestoreNickname();
    return false;
  }
  button().SetText(kStop);
  return true;
}

void RotateCaption() {
  const ui::Edit edit = forms::main::编辑框2();
  const std::string shown = edit.Text();
  g_scrolling.bytes = RotateText(shown == g_scrolling.shown ? g_scrolling.bytes : shown);
  edit.SetText(g_scrolling.bytes);
  g_scrolling.shown = edit.Text();
}

}  // namespace

void RestoreNickname() {
  if (forms::main::选择框1().Checked()) Deliver(forms::main::编辑框6().Text());
}

void ToggleScroller() {
  if (!Starts(forms::main::按钮1)) return;
  while (Running(forms::main::按钮1)) {
    RotateCaption();
    Deliver(g_scrolling.bytes);  // the text now in 编辑框2, byte for byte
    if (!forms::MainOpen()) break;
    TimerWait(Pause(forms::main::编辑框3));
  }
}

void ToggleAdvertBoard() {
  if (!Starts(forms::main::按钮5)) return;
  while (Running(forms::main::按钮5)) {
    // One pass over the rows as they are now; the caption is looked at only
    // between passes, so a stop lets the pass finish.
    const int rows = forms::main::超级列表框1().RowCount();
    for (int row = 0; row < rows && forms::MainOpen(); ++row) {
      Deliver(forms::main::超级列表框1().Cell(row, 0));
      if (!forms::MainOpen()) break;
      TimerWait(Pause(forms::main::编辑框5));
    }
    if (rows == 0 && forms::MainOpen()) {
      // Nothing to deliver: without a wait the loop would spin and the stop
      // click could never arrive. Take the pause, or wait for the next message.
      const int pause = Pause(forms::main::编辑框5);
      if (pause > 0) {
        TimerWait(pause);
      } else {
        WaitMessage();
        DispatchPendingMessages();
      }
    }
  }
}

void AddAdvertLine() {
  forms::main::超级列表框1().AddRow(forms::main::编辑框4().Text());
}

void DeleteAdvertLine() {
  const ui::ReportList list = forms::main::超级列表框1();
  if (const int row = list.CurrentRow(); row >= 0) list.DeleteRow(row);
}

}  // namespace caption
