// The drag-icon window that follows the mouse while the finder is dragged.
#include "forms/layouts.h"

namespace forms {

namespace {

using ui::Kind;

constexpr ui::UnitRow kDragIconUnits[] = {
    {.name = "画板1", .kind = Kind::Canvas, .rect = {0, 0, 31, 31}, .border = ui::Border::None, .background = 0xFFFFFF},
    {.name = "时钟1", .kind = Kind::Timer, .interval = 2},
    {.name = "时钟2", .kind = Kind::Timer, .interval = 100},
};

}  // namespace

const ui::WindowLayout kDragIconLayout = {
    .name = "drag-icon",
    .rect = {0, 0, 31, 31},
    .frame = ui::Frame::Popup,
    .units = kDragIconUnits,
    .background = 0xFFFFFF,
};

}  // namespace forms
