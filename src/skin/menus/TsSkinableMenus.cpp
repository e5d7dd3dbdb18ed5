#include "skin/menus/TsSkinableMenus.h"

#include "platform/DrawBitmap.h"
#include "skin/draw/ControlPaint.h"
#include "skin/draw/SkinPaint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace skin {

using platform::Bitmap;
using platform::Canvas;

namespace {

// A canvas on a bitmap whose (0, 0) is the point `origin` of the drop-down's
// client area, so that everything below is written in client coordinates.
struct ClientCanvas : Canvas {
    ClientCanvas(Bitmap& b, QPoint origin) : Canvas(b) { SetOrigin(-origin); }
};

platform::TFont SystemMenuFont() {
    platform::TFont f;
    f.Name = QStringLiteral("Tahoma");
    f.Height = 11;
    return f;
}

// The first run of characters of a caption item's caption without a dash.
QString CaptionTitle(const QString& caption) {
    for (const QString& part : caption.split(u'-', Qt::SkipEmptyParts))
        return part;
    return QString();
}

// An item takes the hot look, background and text alike, when it is
// enabled and chosen.
bool Hot(const TsMenuItem& item, MenuItemLook look) {
    return item.Enabled && look.Selected;
}

} // namespace

TsSkinableMenus::TsSkinableMenus(TsSkinManager* manager) : manager_(manager) {}

TsSkinableMenus::~TsSkinableMenus() = default;

int TsSkinableMenus::SkinBorderWidth() const {
    int& cached = skinBorderWidth_;
    if (cached < 0) {
        const int mask =
            manager_->FindMaskExact(QStringLiteral("MAINMENU"), QStringLiteral("BORDERSMASK"));
        if (!manager_->IsValidMask(mask))
            cached = 0;
        else
            cached = std::max<int>(manager_->MaskTable()[mask].UniformWidth, 0) > 0
                         ? manager_->MaskTable()[mask].UniformWidth
                         : 3;
    }
    return cached;
}

void TsSkinableMenus::SetActive(bool value) {
    if (active_ == value)
        return;
    active_ = value;
    if (HookMenus && !manager_->BeingBuilt())
        HookMenus(value);
}

void TsSkinableMenus::SkinChanged() {
    ClearBackgrounds();
    skinBorderWidth_ = -1;
    SetActive(manager_->SkinData().SkinReady);
}

int TsSkinableMenus::Section(const char* name) const {
    return manager_->FindSection(QString::fromLatin1(name));
}

void TsSkinableMenus::ForgetBackground(const MenuBackground* background) {
    std::erase_if(backgrounds_, [&](const auto& b) { return b.get() == background; });
}

platform::TFont TsSkinableMenus::MenuFont(const TsMenuItem& item, MenuItemLook look) const {
    platform::TFont f = SystemMenuFont();
    f.Charset = platform::FontCharset::Russian; // the program's forms write Russian
    if (item.Default || look.Default)
        f.Style |= platform::fsBold;
    return f;
}

// ---- Kinds and sizes ----------------------------------------------------------

TsMenuItemType TsSkinableMenus::ItemType(const TsMenuItem& item) {
    if (item.TopLevel)
        return TsMenuItemType::smTopLine;
    if (item.Separator || item.Caption == QStringLiteral("-"))
        return TsMenuItemType::smDivider;
    if (item.Caption.size() > 1 && item.Caption.front() == u'-' && item.Caption.back() == u'-')
        return TsMenuItemType::smCaption;
    return TsMenuItemType::smNormal;
}

QSize TsSkinableMenus::ItemGlyphSize(const TsMenuItem& item) const {
    if (item.Glyph && !item.Glyph->Empty())
        return item.Glyph->Image().size();
    return QSize(16, 16);
}

int TsSkinableMenus::ItemHeight(const TsMenuItem& item) const {
    const TsMenuItemType type = ItemType(item);
    if (type == TsMenuItemType::smDivider)
        return 2;
    Bitmap scratch(1, 1);
    Canvas c(scratch);
    c.Font = MenuFont(item);
    // Halves go to the even neighbour.
    const int text = int(std::nearbyint(1.25 * c.TextHeight(QStringLiteral("W"))));
    if (type == TsMenuItemType::smCaption)
        return text + 2 * Margin;
    return std::max(text, ItemGlyphSize(item).height()) + 2 * Margin;
}

bool TsSkinableMenus::QueryExtraLine(const TsMenuItem& first, bool guarded) {
    if (first.Name == QStringLiteral("SkinSelectItem"))
        return false;
    if (guarded && queryingExtraLine_)
        return false;
    queryingExtraLine_ = true;
    extraLineSection_ = QStringLiteral("EXTRALINE");
    extraLineGlyph_.reset();
    extraLineCaption_ = QStringLiteral("Use OnGetExtraLineData event");
    bool visible = true;
    if (OnGetExtraLineData)
        OnGetExtraLineData(first.FirstItem, extraLineSection_, extraLineCaption_, extraLineGlyph_,
                           visible);
    extraLineCaption_.remove(u'&');
    if (!visible)
        extraLineGlyph_.reset();
    queryingExtraLine_ = false;
    return visible;
}

int TsSkinableMenus::ExtraWidth(const MenuBackground* background, const TsMenuItem& item) const {
    if (!manager_->MenuSupport.UseExtraLine || !background || !background->HasExtraLine ||
        !item.FirstColumn)
        return 0;
    return manager_->MenuSupport.ExtraLineWidth;
}

QSize TsSkinableMenus::MeasureMenuItem(const TsMenuItem& item) {
    painting_ = true;
    const MenuBackground* background = FindMenuBackground(item, QSize());
    bool extraLine = background ? background->HasExtraLine : false;
    if (!background && !queryingExtraLine_ && !manager_->BeingBuilt()) {
        TsMenuItem first = item;
        first.Name = item.FirstItem == item.Id ? item.Name : QString();
        extraLine = QueryExtraLine(first, true);
    }
    Bitmap scratch(1, 1);
    Canvas c(scratch);
    c.Font = MenuFont(item);
    QString text;
    switch (ItemType(item)) {
    case TsMenuItemType::smCaption:
        text = u'-' + item.Caption + u'-';
        break;
    case TsMenuItemType::smDivider:
        break;
    default:
        text = item.Caption + item.ShortCut;
        break;
    }
    QRect r;
    if (!text.isEmpty())
        c.DrawText(text, r,
                   platform::DT_CALCRECT | platform::DT_SINGLELINE | platform::DT_EXPANDTABS);
    int width = 2 * ItemGlyphSize(item).width() + r.width() + 3 * Margin + Spacing;
    if (extraLine && manager_->MenuSupport.UseExtraLine && item.FirstColumn)
        width += manager_->MenuSupport.ExtraLineWidth;
    return QSize(width, ItemHeight(item));
}

QSize TsSkinableMenus::MeasureBarItem(const TsMenuItem& item) const {
    Bitmap scratch(1, 1);
    Canvas c(scratch);
    c.Font = MenuFont(item);
    int width = c.TextWidth(platform::StripPrefix(item.Caption));
    if (item.Glyph && !item.Glyph->Empty())
        width += item.Glyph->Width() + 6;
    return QSize(width, platform::GetSystemMetrics(platform::SM_CYMENU) - 1);
}

// ---- The drop-down's background -----------------------------------------------

MenuBackground* TsSkinableMenus::FindMenuBackground(const TsMenuItem& item, QSize size,
                                                    const void* window) {
    for (const auto& b : backgrounds_)
        if (b->FirstItem == item.FirstItem)
            return b.get();
    if (size.isEmpty())
        return nullptr;
    TsMenuItem first = item;
    if (item.FirstItem != item.Id)
        first.Name.clear(), first.Glyph = nullptr;
    return &BuildMenuBackground(first, size, window);
}

MenuBackground* TsSkinableMenus::FindMenuBackground(const void* window) {
    for (const auto& b : backgrounds_)
        if (window && b->Window == window)
            return b.get();
    return nullptr;
}

MenuBackground& TsSkinableMenus::BuildMenuBackground(const TsMenuItem& first, QSize size,
                                                     const void* window) {
    auto record = std::make_unique<MenuBackground>();
    record->FirstItem = first.FirstItem;
    record->Window = window;
    record->HasExtraLine = manager_->BeingBuilt() ? false : QueryExtraLine(first, false);
    Bitmap& picture = record->Picture;
    picture = Bitmap(size.width(), size.height());
    iconColumnWidth_ = Margin + ItemGlyphSize(first).width() + Spacing;
    corners_.clear();

    const int section = Section("MAINMENU");
    if (manager_->IsValidSection(section)) {
        const int border = SkinBorderWidth();
        const int e = ExtraWidth(record.get(), first);
        RenderSectionBackground(*manager_, {.Target = picture, .Section = section});
        const int iconLine = manager_->FindSection(manager_->MenuSupport.IcoLineSkin);
        if (manager_->IsValidSection(iconLine) && size.height() > 2 * border) {
            Bitmap strip(iconColumnWidth_, size.height() - 2 * border);
            RenderSectionByIndex(*manager_, {.Target = strip,
                                             .Section = iconLine,
                                             .Parent = ParentCacheInfo::Picture(&picture, 0, 0),
                                             .Position = QPoint(e + border, border)});
            Canvas(picture).Draw(e + border, border, strip);
        }
        const int mask =
            manager_->FindMask(section, QStringLiteral("MAINMENU"), QStringLiteral("BORDERSMASK"));
        if (manager_->IsValidMask(mask))
            DrawBorderMask(picture, picture.Rect(), KeyPixels::KeepTarget, VisualState::Normal,
                           manager_->MaskTable()[mask], ParentCacheInfo::Picture(&picture, 0, 0));
        if (manager_->MenuSupport.UseExtraLine && record->HasExtraLine)
            DrawExtraLine(picture);
        if (manager_->IsValidMask(mask))
            FillCorners(manager_->MaskTable()[mask], size);
    }
    extraLineGlyph_.reset();
    record->Corners = corners_;
    backgrounds_.push_back(std::move(record));
    MenuBackground& built = *backgrounds_.back();
    if (window)
        ShapeMenuWindow(window, built);
    return built;
}

void TsSkinableMenus::DrawExtraLine(Bitmap& picture) {
    const int section = manager_->FindSection(extraLineSection_);
    const int border = SkinBorderWidth();
    const int width = manager_->MenuSupport.ExtraLineWidth;
    const int height = picture.Height() - 2 * border;
    if (!manager_->IsValidSection(section) || width <= 0 || height <= 0)
        return;
    Bitmap strip(width, height);
    RenderSectionByIndex(*manager_, {.Target = strip,
                                     .Section = section,
                                     .Parent = ParentCacheInfo::Picture(&picture, 0, 0),
                                     .Position = QPoint(border, border)});
    int textBottom = height - 12;
    if (extraLineGlyph_ && !extraLineGlyph_->Empty()) {
        const Bitmap& g = *extraLineGlyph_;
        Canvas(strip).Draw((width - g.Width()) / 2, height - 12 - g.Height(), g);
        textBottom = height - g.Height() - 20;
    }
    if (!extraLineCaption_.isEmpty()) {
        const platform::TFont& source = manager_->MenuSupport.ExtraLineFont;
        platform::TFont f = source;
        f.Style &= ~platform::fsBold;
        QFont font = f.ToQFont();
        const TsGeneralData& d = manager_->SectionTable()[section];
        QPainter p(&strip.Image());
        p.setFont(font);
        const int textHeight = p.fontMetrics().height();
        p.setPen(ToQColor(ToRgb(d.StateData[0].FontColors.Text)));
        // Reads upwards from near the strip's bottom.
        p.translate((width - textHeight) / 2, textBottom);
        p.rotate(-90);
        p.drawText(QRect(0, 0, textBottom, textHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   extraLineCaption_);
    }
    Canvas(picture).Draw(border, border, strip);
}

void TsSkinableMenus::FillCorners(const TsMaskData& mask, QSize size) {
    if (!MaskImage(mask))
        return;
    const std::vector<QRect> runs = mask.Border().SeeThroughOver(0, size);
    corners_.insert(corners_.end(), runs.begin(), runs.end());
}

QRegion TsSkinableMenus::MenuOutline(const MenuBackground& background) {
    QRegion outline(background.Picture.Rect());
    if (background.Corners.empty())
        return outline.subtracted(QRegion(0, 0, 1, 1));
    for (const QRect& r : background.Corners)
        outline -= r;
    return outline;
}

void TsSkinableMenus::ShapeMenuWindow(const void* window, const MenuBackground& background) {
    if (shaping_ || !ShapeWindow)
        return;
    shaping_ = true;
    ShapeWindow(window, MenuOutline(background));
    shaping_ = false;
}

// ---- Drop-down items ------------------------------------------------------------

void TsSkinableMenus::DrawMenuItem(const TsMenuItem& item, Bitmap& target, QPoint origin, QRect r,
                                   MenuItemLook look, QSize windowSize, const void* window) {
    if (!manager_->Active() || !manager_->SkinHeld() || r.isEmpty())
        return;
    MenuBackground* background = FindMenuBackground(item, windowSize, window);
    const TsMenuItemType type = ItemType(item);
    if (!background)
        return;
    if (type == TsMenuItemType::smDivider)
        return DrawDivider(target, origin, r, *background, item);
    if (type == TsMenuItemType::smCaption)
        return DrawCaptionItem(target, origin, r, *background, item);

    const Bitmap& bg = background->Picture;
    ClientCanvas canvas(target, origin);
    LayBackgroundAround(canvas, bg, item, r);
    const int e = ExtraWidth(background, item);
    Bitmap ip(std::max(r.width() - e, 0), r.height());
    if (ip.Empty())
        return;
    const int itemSection = Section("MENUITEM");
    const bool hot = Hot(item, look);
    if (manager_->IsValidSection(itemSection))
        RenderSectionByIndex(*manager_,
                             {.Target = ip,
                              .Section = itemSection,
                              .State = HotIf(hot),
                              .Parent = ParentCacheInfo::Picture(&bg, BorderWidth, BorderWidth),
                              .Position = QPoint(e + r.left(), r.top())});
    DrawCheckMark(ip, item, look);
    DrawGlyph(ip, item, look);

    DrawItemTexts(ip, item, look, r.width(), itemSection);
    if (!item.Enabled) {
        // Dimmed over the drop-down's background.
        DimOverParent(
            ip, ParentCacheInfo::Picture(&bg, r.left() + e + BorderWidth, r.top() + BorderWidth));
    }
    canvas.Draw(e + r.left(), r.top(), ip);
    if (item.FirstVisible && e > 0)
        canvas.CopyRect(QRect(0, 0, e, bg.Height()), bg,
                        QRect(ClientOrigin(), QSize(e, bg.Height())));
}

// The drop-down's background where items leave room: below the last item
// of a column, and in the gap before a new column.
void TsSkinableMenus::LayBackgroundAround(Canvas& canvas, const Bitmap& bg, const TsMenuItem& item,
                                          QRect r) const {
    const int bottomLimit = bg.Height() - 6;
    if (item.NextStartsColumn || (item.LastVisible && r.bottom() + 1 < bottomLimit)) {
        const QRect below(r.left(), r.bottom() + 1, r.width(), bottomLimit - r.bottom() - 1);
        canvas.CopyRect(below, bg, below.translated(ClientOrigin()));
    }
    if (item.Break) {
        const QRect gap(r.left() - 4, r.top(), 4, bottomLimit);
        canvas.CopyRect(gap, bg, gap.translated(ClientOrigin()));
    }
}

// The caption (a leading character 8 sets it right) and the shortcut, in
// the item section's colours; `width` is the whole item's.
void TsSkinableMenus::DrawItemTexts(Bitmap& ip, const TsMenuItem& item, MenuItemLook look,
                                    int width, int itemSection) const {
    Canvas text(ip);
    text.Font = MenuFont(item, look);
    QString caption = item.Caption;
    uint32_t format = platform::DT_SINGLELINE | platform::DT_VCENTER | platform::DT_EXPANDTABS |
                      platform::DT_NOCLIP;
    if (!caption.isEmpty() && caption.front() == QChar(8)) {
        caption = caption.mid(1) + QStringLiteral("      ");
        format |= platform::DT_RIGHT;
    } else if (Alignment & Qt::AlignRight) {
        format |= platform::DT_RIGHT;
    } else if (Alignment & Qt::AlignHCenter) {
        format |= platform::DT_CENTER;
    }
    const int textLeft = ItemGlyphSize(item).width() + 2 * Margin + Spacing;
    const TextRequest how{.Rect = QRect(textLeft, 0, width - textLeft, ip.Height()),
                          .Format = format,
                          .State = HotIf(Hot(item, look)),
                          .Enabled = true};
    DrawSectionText(text, caption, how, manager_, itemSection);
    if (!item.ShortCut.isEmpty()) {
        TextRequest shortcut = how;
        shortcut.Rect = QRect(0, 0, ip.Width() - 8, ip.Height());
        shortcut.Format = platform::DT_SINGLELINE | platform::DT_VCENTER | platform::DT_RIGHT;
        DrawSectionText(text, item.ShortCut, shortcut, manager_, itemSection);
    }
}

void TsSkinableMenus::DrawCheckMark(Bitmap& ip, const TsMenuItem& item, MenuItemLook look) {
    if (!look.Checked || item.Glyph)
        return;
    const QString global = QStringLiteral("GLOBALINFO");
    int mask = manager_->FindMaskExact(global, item.Radio ? QStringLiteral("RADIOCHECKED")
                                                          : QStringLiteral("CHECK"));
    if (!manager_->IsValidMask(mask))
        mask = manager_->FindMaskExact(global, QStringLiteral("BOXCHECKED"));
    if (!manager_->IsValidMask(mask))
        return;
    const TsMaskData& m = manager_->MaskTable()[mask];
    const int frameHeight = m.FrameHeight();
    DrawCornerImage(ip, QPoint(Margin, (ip.Height() - frameHeight) / 2), HotIf(Hot(item, look)), m,
                    CornerLook::SeeThrough, ParentCacheInfo::Picture(&ip, 0, 0));
}

void TsSkinableMenus::DrawGlyph(Bitmap& ip, const TsMenuItem& item, MenuItemLook look) {
    if (!item.Glyph || item.Glyph->Empty())
        return;
    const Bitmap& g = *item.Glyph;
    const int top = (ip.Height() - g.Height()) / 2, left = top;
    if (look.Checked) {
        const int frame = Section("SPEEDBUTTON_SMALL");
        const QRect around = QRect(left, top, g.Width(), g.Height()).adjusted(-1, -1, 1, 1);
        if (manager_->IsValidSection(frame) && ip.Rect().contains(around))
            RenderSectionByIndex(*manager_, {.Target = ip,
                                             .Section = frame,
                                             .State = VisualState::Pressed,
                                             .Parent = ParentCacheInfo::Picture(&ip, 0, 0),
                                             .Rect = around});
    }
    QPainter p(&ip.Image());
    if (g.SourceBitsPerPixel() == 32 && g.Image().hasAlphaChannel())
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    else
        p.setCompositionMode(QPainter::CompositionMode_Source);
    platform::DrawBitmap(p, QPoint(left, top), g);
}

void TsSkinableMenus::DrawDivider(Bitmap& target, QPoint origin, QRect r,
                                  const MenuBackground& background, const TsMenuItem& item) {
    const Bitmap& bg = background.Picture;
    const int e = ExtraWidth(&background, item);
    int left = e + Margin + Spacing;
    if (left < e + iconColumnWidth_)
        left = e + iconColumnWidth_ + 2;
    const QRect line(left, 0, r.width() - Margin - left, r.height());
    ClientCanvas canvas(target, origin);
    const int section = Section("DIVIDERV");
    const int mask =
        manager_->FindMask(section, QStringLiteral("DIVIDERV"), QStringLiteral("BORDERSMASK"));
    if (!manager_->IsValidMask(mask)) {
        canvas.CopyRect(r, bg, r.translated(ClientOrigin()));
        const SkinColor border = manager_->SkinData().BorderColor;
        const platform::TColor color =
            Value(border) == int32_t(kTransparentKey) ? platform::clBtnShadow : Value(border);
        canvas.FillRect(QRect(r.left() + line.left(), r.top(), std::max(line.width(), 0), 1),
                        color);
        return;
    }
    Bitmap piece(r.width(), r.height());
    Canvas(piece).CopyRect(piece.Rect(), bg, r.translated(ClientOrigin()));
    if (!line.isEmpty())
        DrawBorderMask(piece, line, KeyPixels::ShowParent, VisualState::Normal,
                       manager_->MaskTable()[mask],
                       ParentCacheInfo::Picture(&piece, line.left(), line.top()));
    canvas.Draw(r.left(), r.top(), piece);
}

void TsSkinableMenus::DrawCaptionItem(Bitmap& target, QPoint origin, QRect r,
                                      const MenuBackground& background, const TsMenuItem& item) {
    const Bitmap& bg = background.Picture;
    const int e = ExtraWidth(&background, item);
    Bitmap b(r.width(), r.height());
    Canvas bc(b);
    // The one-pixel ring, and the extra line's columns, show the background.
    bc.CopyRect(b.Rect(), bg, r.translated(ClientOrigin()));
    const QRect t(e + 1, 1, b.Width() - e - 2, b.Height() - 2);
    const int toolbar = Section("TOOLBAR");
    if (manager_->IsValidSection(toolbar) && !t.isEmpty())
        RenderSectionByIndex(*manager_,
                             {.Target = b,
                              .Section = toolbar,
                              .Parent = ParentCacheInfo::Picture(&bg, BorderWidth, BorderWidth),
                              .Position = r.topLeft(),
                              .Rect = t});
    bc.Font = CaptionFont;
    DrawSectionText(
        bc, CaptionTitle(item.Caption),
        {.Rect = QRect(e, 0, b.Width() - e, b.Height()),
         .Format = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE},
        manager_, toolbar);
    ClientCanvas(target, origin).Draw(r.left(), r.top(), b);
}

// ---- Bar items -------------------------------------------------------------------

void TsSkinableMenus::DrawBarItem(const TsMenuItem& item, Bitmap& target, QPoint origin, QRect r,
                                  MenuItemLook look, const Bitmap& band) {
    if (r.isEmpty() || band.Empty())
        return;
    Bitmap ip(r.width(), r.height());
    const bool hot = Hot(item, look);
    const int itemSection = Section("MENUITEM");
    if (manager_->IsValidSection(itemSection))
        RenderSectionByIndex(*manager_,
                             {.Target = ip,
                              .Section = itemSection,
                              .State = HotIf(hot),
                              .Parent = ParentCacheInfo::Picture(&band, r.left(), r.top())});
    else
        Canvas(ip).CopyRect(ip.Rect(), band, r);
    int glyphWidth = 0;
    if (item.Glyph && !item.Glyph->Empty()) {
        const Bitmap& g = *item.Glyph;
        QPainter p(&ip.Image());
        platform::DrawBitmap(p, QPoint(3, item.Enabled ? (r.height() - g.Height()) / 2 : 1), g);
        glyphWidth = g.Width() + 3;
    }
    Canvas text(ip);
    text.Font = MenuFont(item, look);
    text.Font.Style = look.Default ? platform::fsBold : 0;
    uint32_t format = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE |
                      platform::DT_EXPANDTABS | platform::DT_NOCLIP;
    if (Alignment & Qt::AlignRight)
        format |= platform::DT_RIGHT;
    const int left = 2 + glyphWidth;
    DrawSectionText(text, item.Caption,
                    {.Rect = QRect(left, 0, r.width() - 2 * Margin + 2 - left, r.height()),
                     .Format = format,
                     .State = HotIf(hot),
                     .Enabled = true},
                    manager_, Section("MENULINE"));
    if (!item.Enabled) {
        Bitmap under(r.width(), r.height());
        Canvas(under).CopyRect(under.Rect(), band, r);
        // The item keeps 102/255, the bar gives the rest.
        BlendBitmap(ip, QPoint(0, 0), under, 102);
    }
    ClientCanvas(target, origin).Draw(r.left(), r.top(), ip);
}

} // namespace skin
