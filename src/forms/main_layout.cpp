// The main window, row by row.
#include "forms/layouts.h"
#include "lyrimark/config.h"

namespace forms {

namespace {

using ui::Border;
using ui::Item;
using ui::Kind;
using ui::UnitRow;

constexpr char kTab[] = "置顶选择1";

constexpr Item kPages[] = {
    {"Tonvox3.3马甲变歌词字幕器"},
    {"歌词快速搜索下载"},
    {"(自定义)滚动广告牌"},
    {"程序使用说明"},
    {"跟随播放"},
};
constexpr Item kLyricsColumns[] = {{"时间(毫秒)", 0}, {"歌词", 230}};
constexpr Item kResultColumns[] = {{"歌曲", 90}, {"歌手", 50}};
constexpr Item kPreviewColumns[] = {{"时间", 0}, {"歌词预览-单击预览-双击下载", 290}};
constexpr Item kAdvertColumns[] = {{"自定义广告内容", 450}};

// Nine lines; the spaces are part of the text.
constexpr char kAboutText[] =
    "第一次制作此程序，可能做的比较粗糙 除花式字幕功能外，其他基本已经完善\r\n"
    "\r\n"
    "花式字幕使用可能会有一点麻烦，相信以后会改进的。\r\n"
    "\r\n"
    "                                        本程序为免费程序，不做任何限制。\r\n"
    "                              \r\n"
    "                                                 官网:Corvane\r\n"
    "\r\n"
    "                                              官方网址:" LYRIMARK_HOME_URL;

constexpr UnitRow kMainUnits[] = {
    // The finder strip, always visible.
    {.name = "分组框1", .kind = Kind::GroupBox, .rect = {0, 0, 480, 48}},
    {.name = "画板_捕获器", .kind = Kind::Canvas, .in = "分组框1", .rect = {8, 8, 32, 32}, .border = Border::Single},
    {.name = "标签1", .kind = Kind::Label, .in = "分组框1", .rect = {48, 10, 160, 32},
     .text = "←拖动到要字幕的地方\r\n(昵称处或者需要字幕的地方)"},
    {.name = "选择框1", .kind = Kind::CheckBox, .in = "分组框1", .rect = {208, 16, 80, 24}, .text = "字幕完毕后恢复马甲"},
    {.name = "编辑框6", .kind = Kind::Edit, .in = "分组框1", .rect = {296, 16, 176, 20}},

    {.name = kTab, .kind = Kind::Tab, .rect = {0, 48, 480, 448}, .items = kPages},

    // Page 1: the lyrics player.
    {.name = "分组框4", .kind = Kind::GroupBox, .in = kTab, .page = 1, .rect = {0, 24, 160, 384}, .text = "歌词列表"},
    {.name = "文件框1", .kind = Kind::FileList, .in = "分组框4", .rect = {3, 18, 149, 318}, .text = "*.lrc"},
    {.name = "超级按钮4", .kind = Kind::ImageButton, .in = kTab, .page = 1, .rect = {0, 368, 152, 35}, .text = "播 放"},
    {.name = "超级列表框_歌词", .kind = Kind::ReportList, .in = kTab, .page = 1, .rect = {160, 24, 312, 384},
     .items = kLyricsColumns},
    {.name = "标签2", .kind = Kind::Label, .in = kTab, .page = 1, .rect = {0, 416, 48, 24}, .text = "歌词存放"},
    {.name = "编辑框1", .kind = Kind::Edit, .in = kTab, .page = 1, .rect = {50, 416, 356, 24}},
    {.name = "按钮2", .kind = Kind::Button, .in = kTab, .page = 1, .rect = {408, 416, 67, 24}, .text = "导入目录"},

    // Page 2: the online search.
    {.name = "标签3", .kind = Kind::Label, .in = kTab, .page = 2, .rect = {8, 24, 32, 24}, .text = "歌名"},
    {.name = "欲搜索内容", .kind = Kind::Edit, .in = kTab, .page = 2, .rect = {40, 24, 128, 25}},
    {.name = "搜索歌词", .kind = Kind::Button, .in = kTab, .page = 2, .rect = {8, 48, 160, 23}, .text = "在线快速搜索歌词"},
    {.name = "欲下载列表", .kind = Kind::ReportList, .in = kTab, .page = 2, .rect = {8, 72, 160, 368},
     .items = kResultColumns},
    {.name = "歌词预览", .kind = Kind::ReportList, .in = kTab, .page = 2, .rect = {170, 24, 302, 416},
     .items = kPreviewColumns},
    {.name = "标签4", .kind = Kind::Label, .in = kTab, .page = 2, .rect = {16, 480, 144, 24},
     .text = "双击左侧列表直接下载\r\n左键单击列表预览歌词"},

    // Page 3: the single-line scroller and the advert board.
    {.name = "分组框7", .kind = Kind::GroupBox, .in = kTab, .page = 3, .rect = {8, 32, 456, 96}, .text = "单行内容滚动器"},
    {.name = "标签5", .kind = Kind::Label, .in = "分组框7", .rect = {8, 16, 64, 24}, .text = "滚动内容"},
    {.name = "编辑框2", .kind = Kind::Edit, .in = "分组框7", .rect = {88, 16, 360, 24}},
    {.name = "按钮1", .kind = Kind::Button, .in = "分组框7", .rect = {8, 48, 104, 24}, .text = "开始滚动"},
    {.name = "标签6", .kind = Kind::Label, .in = "分组框7", .rect = {120, 48, 56, 24}, .text = "滚动速率"},
    {.name = "编辑框3", .kind = Kind::Edit, .in = "分组框7", .rect = {184, 48, 46, 24}, .text = "500"},
    {.name = "标签7", .kind = Kind::Label, .in = "分组框7", .rect = {232, 48, 30, 24}, .text = "毫秒"},
    {.name = "标签8", .kind = Kind::Label, .in = "分组框7", .rect = {264, 48, 184, 24},
     .text = "1000毫秒=1秒  不要太快以免卡住"},
    {.name = "分组框6", .kind = Kind::GroupBox, .in = kTab, .page = 3, .rect = {8, 128, 464, 312},
     .text = "自定义内容广告牌"},
    {.name = "超级列表框1", .kind = Kind::ReportList, .in = "分组框6", .rect = {2, 16, 454, 216}, .items = kAdvertColumns},
    {.name = "标签9", .kind = Kind::Label, .in = "分组框6", .rect = {2, 240, 24, 20}, .text = "内容"},
    {.name = "编辑框4", .kind = Kind::Edit, .in = "分组框6", .rect = {32, 240, 232, 20}},
    {.name = "按钮3", .kind = Kind::Button, .in = "分组框6", .rect = {272, 240, 96, 20}, .text = "添加一行广告词"},
    {.name = "按钮4", .kind = Kind::Button, .in = "分组框6", .rect = {374, 240, 75, 20}, .text = "删除选中"},
    {.name = "按钮5", .kind = Kind::Button, .in = "分组框6", .rect = {4, 272, 132, 24}, .text = "开始滚动"},
    {.name = "标签13", .kind = Kind::Label, .in = "分组框6", .rect = {136, 272, 56, 24}, .text = "滚动速率"},
    {.name = "编辑框5", .kind = Kind::Edit, .in = "分组框6", .rect = {192, 272, 48, 24}, .text = "1000"},
    {.name = "标签11", .kind = Kind::Label, .in = "分组框6", .rect = {248, 272, 30, 24}, .text = "毫秒"},
    {.name = "标签12", .kind = Kind::Label, .in = "分组框6", .rect = {272, 272, 182, 24},
     .text = "1000毫秒=1秒  不要太快以免卡住"},

    // Page 4: about.
    {.name = "标签21", .kind = Kind::Label, .in = kTab, .page = 4, .rect = {16, 48, 56, 24}, .text = "作者说明:"},
    {.name = "标签24", .kind = Kind::Label, .in = kTab, .page = 4, .rect = {16, 88, 448, 120}, .text = kAboutText},
    {.name = "按钮15", .kind = Kind::Button, .in = kTab, .page = 4, .rect = {32, 336, 400, 40},
     .text = "下载更多Corvane-绿色辅助"},

    // Page 5: following the song the user's music player plays. The hot keys'
    // label is written at start, when they are registered.
    {.name = "选择框_跟随播放", .kind = Kind::CheckBox, .in = kTab, .page = 5, .rect = {16, 40, 220, 24},
     .text = "跟随正在播放的歌曲"},
    {.name = "标签_播放器", .kind = Kind::Label, .in = kTab, .page = 5, .rect = {16, 72, 448, 32}},
    {.name = "标签_当前歌曲", .kind = Kind::Label, .in = kTab, .page = 5, .rect = {16, 108, 448, 32}},
    {.name = "选择框_自动下载", .kind = Kind::CheckBox, .in = kTab, .page = 5, .rect = {16, 148, 220, 24},
     .text = "本地没有歌词时在线下载"},
    {.name = "按钮_提前", .kind = Kind::Button, .in = kTab, .page = 5, .rect = {16, 188, 96, 28}, .text = "提前0.5秒"},
    {.name = "按钮_推后", .kind = Kind::Button, .in = kTab, .page = 5, .rect = {120, 188, 96, 28}, .text = "推后0.5秒"},
    {.name = "标签_偏移", .kind = Kind::Label, .in = kTab, .page = 5, .rect = {232, 194, 160, 20}, .text = "偏移：0.0秒"},
    {.name = "标签_热键", .kind = Kind::Label, .in = kTab, .page = 5, .rect = {16, 232, 448, 64}},
    {.name = "标签_跟随说明", .kind = Kind::Label, .in = kTab, .page = 5, .rect = {16, 312, 448, 80},
     .text = "在第一页“歌词存放”的文件夹里按歌名找歌词：歌名.lrc、歌手 - 歌名.lrc 或 歌名 - 歌手.lrc。\r\n"
             "播放器只报歌名时，歌词从换歌时开始；不同步时双击第一页正在唱的那一行对齐。"},

    // Hidden units: storage for handlers, placed right of the client area and never shown.
    {.name = "编辑框_窗口句柄", .kind = Kind::Edit, .rect = {520, 0, 120, 20}, .visible = false},
    {.name = "分组框3", .kind = Kind::GroupBox, .rect = {520, 30, 200, 90}, .visible = false},
    {.name = "标签_鼠标位置_X", .kind = Kind::Label, .in = "分组框3", .rect = {8, 16, 12, 20}, .text = "X", .visible = false},
    {.name = "编辑框_鼠标位置_X", .kind = Kind::Edit, .in = "分组框3", .rect = {24, 16, 64, 20}, .visible = false},
    {.name = "标签_鼠标位置_Y", .kind = Kind::Label, .in = "分组框3", .rect = {96, 16, 12, 20}, .text = "Y", .visible = false},
    {.name = "编辑框_鼠标位置_Y", .kind = Kind::Edit, .in = "分组框3", .rect = {112, 16, 64, 20}, .visible = false},
    {.name = "标签_窗口鼠标位置_X", .kind = Kind::Label, .in = "分组框3", .rect = {8, 48, 12, 20}, .text = "X",
     .visible = false},
    {.name = "编辑框_窗口鼠标位置_X", .kind = Kind::Edit, .in = "分组框3", .rect = {24, 48, 64, 20}, .visible = false},
    {.name = "标签_窗口鼠标位置_Y", .kind = Kind::Label, .in = "分组框3", .rect = {96, 48, 12, 20}, .text = "Y",
     .visible = false},
    {.name = "编辑框_窗口鼠标位置_Y", .kind = Kind::Edit, .in = "分组框3", .rect = {112, 48, 64, 20}, .visible = false},
    {.name = "分组框2", .kind = Kind::GroupBox, .rect = {520, 130, 200, 50}, .visible = false},
    {.name = "透明标签1", .kind = Kind::TransparentLabel, .in = "分组框2", .rect = {8, 16, 184, 24}, .visible = false},
    {.name = "预备下载内容", .kind = Kind::Edit, .rect = {520, 190, 120, 20}, .visible = false},
    {.name = "超文本浏览框1", .kind = Kind::WebView, .rect = {520, 220, 120, 80}, .text = LYRIMARK_HOME_URL,
     .visible = false},
    {.name = "时钟_歌词播放", .kind = Kind::Timer, .interval = 0},
    {.name = "时钟_跟随", .kind = Kind::Timer, .interval = 0},
};

constexpr ui::MenuItem kMainMenu[] = {{"本地歌词管理"}, {"更新本地歌词"}, {"添加指定目录"}};

}  // namespace

const ui::WindowLayout kMainLayout = {
    .name = "main",
    .caption = "Corvane-Lyrimarkv3.3  Fanvel:" LYRIMARK_FAN_URL,
    .rect = {50, 50, 487, 543},
    .frame = ui::Frame::FixedWithCaption,
    .units = kMainUnits,
    .menu = kMainMenu,
    .endsLoop = true,
};

}  // namespace forms
