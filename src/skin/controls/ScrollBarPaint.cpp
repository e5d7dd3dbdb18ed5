#include "skin/controls/ScrollBarPaint.h"

#include "platform/Colors.h"
#include "skin/draw/SkinPaint.h"

#include <QStyle>
#include <algorithm>

namespace skin {

namespace {

struct BarSections {
    const char *SubArrow, *AddArrow, *SubTrack, *AddTrack, *Slider;
};
constexpr BarSections kHorizontal{"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBAR1H", "SCROLLBAR2H",
                                  "SCROLLSLIDERH"};
constexpr BarSections kVertical{"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBAR1V", "SCROLLBAR2V",
                                "SCROLLSLIDERV"};

const BarSections& SectionsOf(Qt::Orientation o) {
    return o == Qt::Horizontal ? kHorizontal : kVertical;
}

// A rectangle along the bar, from `from` to `to` on its long axis.
QRect Span(Qt::Orientation o, QSize bar, int from, int to) {
    return o == Qt::Horizontal ? QRect(from, 0, to - from, bar.height())
                               : QRect(0, from, bar.width(), to - from);
}

} // namespace

int ScrollArrowLength(const TsSkinManager& manager, Qt::Orientation o) {
    int length = platform::GetSystemMetrics(o == Qt::Horizontal ? platform::SM_CXHSCROLL
                                                                : platform::SM_CYVSCROLL);
    const int section = manager.FindSection(QString::fromLatin1(SectionsOf(o).SubArrow));
    if (!manager.IsValidSection(section))
        return length;
    const TsGeneralData& d = manager.SectionTable()[section];
    if (d.ReservedBoolean && manager.IsValidMask(d.BordersMask)) {
        const TsMaskData& mask = manager.MaskTable()[d.BordersMask];
        length = std::max(length, o == Qt::Horizontal ? mask.FrameWidth() : mask.FrameHeight());
    }
    return length;
}

ScrollBarParts LayoutScrollBar(QSize bar, Qt::Orientation o, int a, int minThumb,
                               const ScrollInfo& info, bool enabled) {
    ScrollBarParts parts;
    const int length = o == Qt::Horizontal ? bar.width() : bar.height();
    if (2 * a >= length) {
        const int half = length / 2;
        parts.SubArrow = Span(o, bar, 0, half);
        parts.AddArrow = Span(o, bar, half, length);
        return parts;
    }
    parts.SubArrow = Span(o, bar, 0, a);
    parts.AddArrow = Span(o, bar, length - a, length);
    const int track = length - 2 * a;
    // The classic range counts the last page in: its length is Max − Min
    // + Page − 1, and the slider is to the track as the page to it.
    const int64_t range = int64_t(info.Max) - info.Min + info.Page - 1;
    int middle = a + track / 2;
    if (enabled && range > 0 && info.Page > 0) {
        const int sliderLength = std::max<int64_t>(minThumb, int64_t(info.Page) * track / range);
        if (sliderLength <= track && info.Max > info.Min) {
            // Placed as the toolkit maps a position to pixels, so that
            // dragging and drawing agree.
            const int start = a + QStyle::sliderPositionFromValue(info.Min, info.Max, info.Pos,
                                                                  track - sliderLength);
            parts.Slider = Span(o, bar, start, start + sliderLength);
            middle = start + sliderLength / 2;
        }
    }
    parts.SubTrack = Span(o, bar, a, middle);
    parts.AddTrack = Span(o, bar, middle, length - a);
    return parts;
}

bool RenderScrollBar(const TsSkinManager& m, platform::Bitmap& out, Qt::Orientation o,
                     const ScrollBarParts& parts, const ScrollPartStates& states,
                     const ParentCacheInfo& parent, bool enabled) {
    const BarSections& names = SectionsOf(o);
    if (!m.IsValidSection(m.CommonIndexes().ScrollBar) || out.Empty())
        return false;
    // What lies behind the bar first: the arrows and the slider are laid
    // over the bar as drawn so far, so their rounded corners show the track
    // (or the window) under them and not a window pixel over the track.
    LayParent(out, out.Rect(), parent);
    const ParentCacheInfo laid = ParentCacheInfo::Picture(&out, 0, 0);
    auto part = [&](const char* name, QRect r, VisualState state, bool glyph) {
        if (r.isEmpty())
            return;
        const QString section = QString::fromLatin1(name);
        const int index = m.FindSection(section);
        if (!m.IsValidSection(index))
            return;
        RenderSectionFast(m,
                          {.Target = out,
                           .Section = index,
                           .State = state,
                           .Parent = glyph ? laid : parent,
                           .Rect = r},
                          m.SectionTable()[index].BordersMask);
        if (!glyph)
            return;
        const int mask = m.FindMask(index, section, QStringLiteral("GLYPHMASK"));
        if (!m.IsValidMask(mask))
            return;
        const TsMaskData& g = m.MaskTable()[mask];
        const QPoint at(r.left() + (r.width() - g.FrameWidth()) / 2,
                        r.top() + (r.height() - g.FrameHeight()) / 2);
        // See-through glyph pixels keep the button under them.
        DrawCornerImage(out, at, state, g, CornerLook::SeeThrough, ParentCacheInfo{});
    };
    part(names.SubTrack, parts.SubTrack, states.SubTrack, false);
    part(names.AddTrack, parts.AddTrack, states.AddTrack, false);
    part(names.SubArrow, parts.SubArrow, states.SubArrow, true);
    part(names.AddArrow, parts.AddArrow, states.AddArrow, true);
    part(names.Slider, parts.Slider, states.Slider, true);
    if (!enabled)
        DimOverParent(out, parent);
    return true;
}

} // namespace skin
