// The stand-in target's log read as deliveries: one per click at the entry
// point, with the text its character messages typed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "caption/delivery.h"
#include "text/convert.h"
#include "win/stand_in_target.h"

namespace wintest {

struct Delivery {
  std::string text;          // GBK
  LPARAM char_lparam = -1;   // the lParam all its characters carry; -1 when they differ or there are none
  long posted_ms = 0;        // when its first message was posted, on the target's clock (coarse)
  double received_ms = 0;    // when the target took its first message
  double first_char_ms = 0;  // when it took its first character (its first message when there is none)
  bool typed = false;        // all its characters are in: the move to the closing point came
};

inline std::vector<Delivery> SplitDeliveries(const std::vector<LoggedMessage>& log, std::size_t from = 0) {
  constexpr LPARAM kEntry = 298 + 124 * 65536, kClosing = 301 + 164 * 65536;
  std::vector<Delivery> out;
  std::vector<std::u16string> values;  // what each one's character messages carried (CharacterValues)
  bool typing = false;
  for (std::size_t i = from; i < log.size(); ++i) {
    const InputMessage& m = log[i].input;
    if (m.message == WM_MOUSEMOVE && m.lparam == kEntry) {
      out.push_back({{}, -1, log[i].posted_ms, log[i].received_ms, log[i].received_ms});
      values.emplace_back();
      typing = true;
    } else if (m.message == WM_MOUSEMOVE && m.lparam == kClosing) {
      if (typing) out.back().typed = true;
      typing = false;
    } else if (m.message == WM_CHAR && typing) {
      Delivery& d = out.back();
      if (values.back().empty()) {
        d.char_lparam = m.lparam;
        d.first_char_ms = log[i].received_ms;
      } else if (d.char_lparam != m.lparam) {
        d.char_lparam = -1;
      }
      values.back() += static_cast<char16_t>(m.wparam);
    }
  }
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::u16string& v = values[i];
    out[i].text = caption::AnsiIsGbk() ? std::string(v.begin(), v.end()) : text::Utf16ToGbk(v);
  }
  return out;
}

inline std::vector<std::string> Texts(const std::vector<Delivery>& deliveries) {
  std::vector<std::string> texts;
  for (const Delivery& d : deliveries) texts.push_back(d.text);
  return texts;
}

}  // namespace wintest
