// The update window: progress of the download of a new version.
#include "forms/layouts.h"

namespace forms {

namespace {

using ui::Kind;

constexpr ui::UnitRow kUpdateUnits[] = {
    {.name = "进度条", .kind = Kind::ProgressBar, .rect = {2, 4, 238, 13}, .text = "0"},
    {.name = "下载进度", .kind = Kind::Label, .rect = {6, 23, 195, 16}, .text = "正在连接服务器...."},
    {.name = "下载速度", .kind = Kind::Label, .rect = {6, 36, 232, 16}, .text = "下载速度:"},
    {.name = "已经下载", .kind = Kind::Label, .rect = {6, 50, 232, 16}, .text = "已经下载:"},
    {.name = "已用时间", .kind = Kind::Label, .rect = {6, 63, 232, 16}, .text = "已用时间:"},
    {.name = "剩余时间", .kind = Kind::Label, .rect = {6, 78, 232, 16}, .text = "剩余时间:"},
    {.name = "时钟", .kind = Kind::Timer, .interval = 0},
    // Below the client area at this size: the download starts from the created event.
    {.name = "按钮1", .kind = Kind::Button, .rect = {3, 175, 104, 24}, .text = "在线下载更新"},
    {.name = "按钮2", .kind = Kind::Button, .rect = {176, 176, 112, 24}, .text = "进入指定地点下载"},
    {.name = "超级链接框1", .kind = Kind::Hyperlink, .rect = {8, 176, 272, 24}},
    {.name = "图片框1", .kind = Kind::Picture, .rect = {16, 239, 278, 48}},
};

}  // namespace

const ui::WindowLayout kUpdateLayout = {
    .name = "update",
    .caption = "在线更新中请稍后",
    .rect = {50, 50, 248, 128},
    .frame = ui::Frame::FixedWithCaption,
    .units = kUpdateUnits,
};

}  // namespace forms
