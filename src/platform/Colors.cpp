#include "platform/Colors.h"

#include <array>
#include <utility>

namespace platform {

namespace {

// The classic scheme, as 0x00BBGGRR.
constexpr std::array<uint32_t, kSysColorCount> kSysColors = {
    0xC8C8C8, // scroll bar
    0x808000, // desktop
    0x6A240A, // active caption
    0x808080, // inactive caption
    0xC8D0D4, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC8D0D4, // active border
    0xC8D0D4, // inactive border
    0x808080, // application work space
    0x6A240A, // highlight
    0xFFFFFF, // highlight text
    0xC8D0D4, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC8D0D4, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3-D dark shadow
    0xC8D0D4, // 3-D light
    0x000000, // tool-tip text
    0xE1FFFF, // tool-tip background
    0xB5B5B5, // (unused slot 25)
    0x800000, // hot light
    0xF0CAA6, // gradient of the active caption
    0xC0C0C0, // gradient of the inactive caption
    0x6A240A, // menu highlight
    0xC8D0D4, // menu bar
};

constexpr std::pair<int, int> kMetrics[] = {
    {SM_CXVSCROLL, 16},   {SM_CYHSCROLL, 16}, {SM_CYCAPTION, 19},   {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},     {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3},   {SM_CYVTHUMB, 16},
    {SM_CXHTHUMB, 16},    {SM_CXICON, 32},    {SM_CYICON, 32},      {SM_CYMENU, 19},
    {SM_CYVSCROLL, 16},   {SM_CXHSCROLL, 16}, {SM_CXSIZE, 18},      {SM_CYSIZE, 18},
    {SM_CXFRAME, 4},      {SM_CYFRAME, 4},    {SM_CXEDGE, 2},       {SM_CYEDGE, 2},
    {SM_CXSMICON, 16},    {SM_CYSMICON, 16},  {SM_CYSMCAPTION, 16}, {SM_CXMENUCHECK, 13},
    {SM_CYMENUCHECK, 13},
};

} // namespace

uint32_t GetSysColor(int index) {
    return index >= 0 && index < kSysColorCount ? kSysColors[index] : 0;
}

uint32_t ColorToRGB(TColor c) {
    const auto u = static_cast<uint32_t>(c);
    return IsSystemColor(c) ? GetSysColor(u & 0xFF) : (u & 0xFFFFFF);
}

QColor ToQColor(TColor c) {
    const uint32_t rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c) {
    return RGBColor(c.red(), c.green(), c.blue());
}

int GetSystemMetrics(int metric) {
    for (const auto& [id, value] : kMetrics)
        if (id == metric)
            return value;
    return 0;
}

} // namespace platform
