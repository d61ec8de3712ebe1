#include "ui/font.h"

#include <string>

#include "ui/scoped.h"

namespace ui {

namespace {

int CALLBACK NoteChineseFont(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM face) {
  auto* name = reinterpret_cast<std::wstring*>(face);
  if (name->empty() && lf->lfFaceName[0] != L'@') *name = lf->lfFaceName;  // '@': vertical variants
  return name->empty() ? 1 : 0;
}

// The layouts were made for SimSun 9 pt (12-px glyphs, 12-px lines). Where
// it is missing, a Song-style font of similar metrics keeps nine lines of
// the about text inside their 120 px; failing that (no face asked for), any
// font with Chinese.
std::wstring UnitFace() {
  const WindowDc dc(nullptr);
  for (const wchar_t* preferred : {L"SimSun", L"AR PL UMing CN", L""}) {
    LOGFONTW want{};
    want.lfCharSet = GB2312_CHARSET;
    lstrcpyW(want.lfFaceName, preferred);
    std::wstring face;
    EnumFontFamiliesExW(dc, &want, NoteChineseFont, reinterpret_cast<LPARAM>(&face), 0);
    if (!face.empty()) return *preferred ? preferred : face;
  }
  return {};
}

}  // namespace

HFONT UnitFont() {
  static const HFONT font = [] {
    const std::wstring face = UnitFace();
    if (face.empty()) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  }();
  return font;
}

}  // namespace ui
