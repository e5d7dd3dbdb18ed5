// The skinned menus: the bar items over the menu bar's band, and the
// drop-down windows with their background, frame, items, separators and
// caption items, each composed off-screen from the skin and copied in one
// piece. This part works on bitmaps only; TsMenuStyle.h hands Qt's menus to
// it.
//
// A drop-down (seen from its first item) gets one background picture per
// opening, the size of the whole window with its frame:
//
//   +--3-px frame (BorderWidth)-------------+
//   | E | item picture (R)                  |   E: the extra line, when shown
//   |   | item picture                      |   items are laid at (3, 3) + R
//   +---------------------------------------+
//
// Every item, the frame strips and the disabled look read that picture.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Fonts.h"
#include "skin/data/TsSkinManager.h"

#include <QRect>
#include <QRegion>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace skin {

enum class TsMenuItemType { smCaption, smDivider, smNormal, smTopLine };

// How one menu item is to be drawn.
struct MenuItemLook {
    bool Selected = false; // chosen by the mouse or the keyboard: the hot look
    bool Checked = false;
    bool Default = false; // the menu's default item: bold
};

// What the drawing needs to know of one menu item.
struct TsMenuItem {
    const void* Id = nullptr;        // the item itself
    const void* FirstItem = nullptr; // the first item of its drop-down: names the drop-down
    QString Caption;
    QString ShortCut;       // its shortcut's text, empty without one
    QString Name;           // the item's name ("SkinSelectItem" has no extra line)
    bool TopLevel = false;  // an item of the menu bar
    bool Separator = false; // a separator of the toolkit, whatever its caption
    bool Enabled = true;
    bool Radio = false;
    bool Default = false;    // its menu's default item: drawn bold
    bool Break = false;      // starts a new column
    bool FirstColumn = true; // no item up to this one starts a column
    bool FirstVisible = false, LastVisible = false;
    bool NextStartsColumn = false;
    const platform::Bitmap* Glyph = nullptr; // its own picture (32-bit ones blend by opacity)
};

// What the drop-down knows of a menu item for the extra line.
using TacGetExtraLineData =
    std::function<void(const void* firstItem, QString& section, QString& caption,
                       std::optional<platform::Bitmap>& glyph, bool& lineVisible)>;

struct MenuBackground {
    const void* FirstItem = nullptr;
    platform::Bitmap Picture;
    const void* Window = nullptr;
    bool HasExtraLine = false;
    std::vector<QRect> Corners; // its see-through corner pixels, one rectangle per run
};

class TsSkinableMenus {
public:
    explicit TsSkinableMenus(TsSkinManager* manager);
    ~TsSkinableMenus();
    TsSkinableMenus(const TsSkinableMenus&) = delete;
    TsSkinableMenus& operator=(const TsSkinableMenus&) = delete;

    TsSkinManager* Manager() const { return manager_; }

    // Properties.
    Qt::Alignment Alignment = Qt::AlignLeft;
    int BevelWidth = 0;
    int BorderWidth = 3; // the drop-down's frame: its client area lies this far inside
    // Where the drop-down's client area lies in its background picture.
    QPoint ClientOrigin() const { return QPoint(BorderWidth, BorderWidth); }
    platform::TFont CaptionFont;
    int Margin = 2;
    int Spacing = 8;
    TacGetExtraLineData OnGetExtraLineData;
    // The width of the drop-down's skin border; measured once per skin.
    int SkinBorderWidth() const;

    bool Active() const { return active_; }
    // The hooking of the menus is the toolkit side's; it is told here.
    std::function<void(bool)> HookMenus;
    void SetActive(bool value);
    // A new skin reached a window: the old backgrounds go, and the menus
    // follow whether the skin is ready.
    void SkinChanged();

    // Set while a drop-down of ours is open; the drop-down windows paint
    // from the skin only while it is.
    bool Painting() const { return painting_; }
    void SetPainting(bool painting) { painting_ = painting; }
    // The backgrounds of the drop-downs painted since the last was closed
    // go; the next opening builds its own.
    void ClearBackgrounds() { backgrounds_.clear(); }
    void ForgetBackground(const MenuBackground* background);

    // The system's menu font, with the character set of the owning form.
    platform::TFont MenuFont(const TsMenuItem& item, MenuItemLook look = {}) const;

    static TsMenuItemType ItemType(const TsMenuItem& item);
    QSize ItemGlyphSize(const TsMenuItem& item) const;
    int IconColumnWidth() const { return iconColumnWidth_; }
    int ItemHeight(const TsMenuItem& item) const;
    QSize MeasureMenuItem(const TsMenuItem& item);
    QSize MeasureBarItem(const TsMenuItem& item) const;

    // The background of the drop-down of `item`, built when there is none
    // yet and a size is given; none otherwise.
    MenuBackground* FindMenuBackground(const TsMenuItem& item, QSize size,
                                       const void* window = nullptr);
    MenuBackground* FindMenuBackground(const void* window);
    MenuBackground& BuildMenuBackground(const TsMenuItem& first, QSize size,
                                        const void* window = nullptr);
    // The see-through corner pixels of the last background built, one
    // rectangle per run of a row.
    const std::vector<QRect>& Corners() const { return corners_; }
    // A drop-down's outline: its picture less the see-through corners.
    static QRegion MenuOutline(const MenuBackground& background);
    // Gives a drop-down window its outline; the toolkit side sets it.
    std::function<void(const void* window, const QRegion& outline)> ShapeWindow;
    void ShapeMenuWindow(const void* window, const MenuBackground& background);

    // Draws a drop-down item at R of the drop-down's client area (which
    // lies BorderWidth inside the window) into `target`, whose (0, 0) is
    // the client point `origin`. The window's frame is laid from the same
    // background by the window itself. Nothing while the manager is not
    // active.
    void DrawMenuItem(const TsMenuItem& item, platform::Bitmap& target, QPoint origin, QRect r,
                      MenuItemLook look, QSize windowSize, const void* window = nullptr);
    void DrawDivider(platform::Bitmap& target, QPoint origin, QRect r,
                     const MenuBackground& background, const TsMenuItem& item);
    void DrawCaptionItem(platform::Bitmap& target, QPoint origin, QRect r,
                         const MenuBackground& background, const TsMenuItem& item);
    // Draws a bar item at R of `band` (the menu bar's band picture, which
    // gives the background) into `target`, whose (0, 0) is the band's point
    // `origin`.
    void DrawBarItem(const TsMenuItem& item, platform::Bitmap& target, QPoint origin, QRect r,
                     MenuItemLook look, const platform::Bitmap& band);

private:
    bool QueryExtraLine(const TsMenuItem& first, bool guarded);
    int ExtraWidth(const MenuBackground* background, const TsMenuItem& item) const;
    void DrawExtraLine(platform::Bitmap& picture);
    void FillCorners(const TsMaskData& mask, QSize size);
    void DrawGlyph(platform::Bitmap& ip, const TsMenuItem& item, MenuItemLook look);
    void DrawCheckMark(platform::Bitmap& ip, const TsMenuItem& item, MenuItemLook look);
    void LayBackgroundAround(platform::Canvas& canvas, const platform::Bitmap& bg,
                             const TsMenuItem& item, QRect r) const;
    void DrawItemTexts(platform::Bitmap& ip, const TsMenuItem& item, MenuItemLook look, int width,
                       int itemSection) const;
    int Section(const char* name) const;

    TsSkinManager* manager_;
    bool active_ = false;
    bool painting_ = false;
    std::vector<std::unique_ptr<MenuBackground>> backgrounds_;
    mutable int skinBorderWidth_ = -1; // measured at the first use with a skin
    std::vector<QRect> corners_;
    bool shaping_ = false;
    bool queryingExtraLine_ = false;
    int iconColumnWidth_ = 0;
    QString extraLineSection_ = QStringLiteral("EXTRALINE");
    QString extraLineCaption_;
    std::optional<platform::Bitmap> extraLineGlyph_;
};

} // namespace skin
