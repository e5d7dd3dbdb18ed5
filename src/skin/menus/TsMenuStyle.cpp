#include "skin/menus/TsMenuStyle.h"

#include "platform/DrawBitmap.h"
#include "platform/Form.h"
#include "skin/draw/SkinPaint.h"

#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOption>
#include <optional>
#include <set>

namespace skin {

using platform::Bitmap;

namespace {

// Room the desktop leaves around the text of a bar item.
constexpr int kBarItemPadding = 12;

std::vector<QAction*> VisibleActions(const QWidget* menu) {
    std::vector<QAction*> out;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            out.push_back(a);
    return out;
}

// The item of a drop-down or bar whose place is `rect`.
QAction* ActionAt(const QWidget* widget, const QRect& rect) {
    for (QAction* a : VisibleActions(widget)) {
        if (auto* menu = qobject_cast<const QMenu*>(widget);
            menu && menu->actionGeometry(a) == rect)
            return a;
        if (auto* bar = qobject_cast<const QMenuBar*>(widget);
            bar && bar->actionGeometry(a) == rect)
            return a;
    }
    return nullptr;
}

std::optional<Bitmap> GlyphOf(const QIcon& icon, bool enabled) {
    if (icon.isNull())
        return std::nullopt;
    return Bitmap(icon.pixmap(16, 16, enabled ? QIcon::Normal : QIcon::Disabled).toImage());
}

// Only X11 cuts a window to its outline; elsewhere (Wayland) the outline
// takes input alone, so the picture must leave the cut pixels unpainted in
// the transparent buffer InitItems asked for.
void DrawMenuPicture(QPainter& painter, const QMenu& menu, const MenuBackground& bg) {
    painter.save();
    if (!menu.mask().isEmpty())
        painter.setClipRegion(menu.mask(), Qt::IntersectClip);
    platform::DrawBitmap(painter, QPoint(0, 0), bg.Picture);
    painter.restore();
}

// An item of a drop-down as the menus see it.
TsMenuItem ItemOf(const QMenu* menu, QAction* a, std::optional<Bitmap>& glyph) {
    const std::vector<QAction*> visible = VisibleActions(menu);
    TsMenuItem item;
    item.Id = a;
    item.FirstItem = visible.empty() ? nullptr : visible.front();
    item.Caption = a->text();
    if (!a->shortcut().isEmpty())
        item.ShortCut = a->shortcut().toString(QKeySequence::NativeText);
    item.Name = a->objectName();
    item.Separator = a->isSeparator();
    item.Enabled = a->isEnabled();
    item.Radio = a->actionGroup() && a->actionGroup()->isExclusive();
    item.Default = menu->defaultAction() == a;
    glyph = GlyphOf(a->icon(), true);
    item.Glyph = glyph ? &*glyph : nullptr;
    // Qt lays items into columns itself when they do not fit the screen.
    const auto at = std::find(visible.begin(), visible.end(), a);
    if (at != visible.end()) {
        const int x = menu->actionGeometry(a).x();
        item.FirstVisible = at == visible.begin();
        item.LastVisible = at + 1 == visible.end();
        item.FirstColumn = x == menu->actionGeometry(visible.front()).x();
        item.Break = !item.FirstVisible && menu->actionGeometry(*(at - 1)).x() != x;
        item.NextStartsColumn = !item.LastVisible && menu->actionGeometry(*(at + 1)).x() != x;
    }
    return item;
}

// Chosen: under the mouse or the keyboard, or held down.
bool Chosen(const QStyleOption& o) {
    return o.state & (QStyle::State_Selected | QStyle::State_Sunken);
}

MenuItemLook LookOf(const QStyleOptionMenuItem& o) {
    return {.Selected = Chosen(o),
            .Checked = o.checked,
            .Default = o.menuItemType == QStyleOptionMenuItem::DefaultItem};
}

} // namespace

// ---- The drop-down adapter --------------------------------------------------------

TacMnuWnd::TacMnuWnd(QMenu* menu, TsMenuStyle& style)
    : QObject(menu), style_(&style), key_(menu), object_(menu) {
    style.adapted_.insert(menu);
    menu->installEventFilter(this);
}

TacMnuWnd::~TacMnuWnd() {
    if (style_)
        style_->adapted_.erase(key_);
}

bool TacMnuWnd::eventFilter(QObject* watched, QEvent* event) {
    // A menu being destroyed is compared by address only: it is no longer
    // a menu to ask.
    if (!style_ || watched != object_)
        return false;
    TsSkinableMenus& menus = style_->Menus();
    if (event->type() == QEvent::Show) {
        menus.SetPainting(true);
    } else if (event->type() == QEvent::Hide) {
        // A drop-down closed: every background goes; the next opening
        // builds its own afresh. The others still open lay theirs again.
        menus.ClearBackgrounds();
        bool anyOpen = false;
        for (const QMenu* m : style_->adapted_)
            if (m != key_ && m->isVisible()) {
                anyOpen = true;
                const_cast<QMenu*>(m)->update();
            }
        if (!anyOpen)
            menus.SetPainting(false);
    }
    return false;
}

// ---- The style -------------------------------------------------------------------

TsMenuStyle::TsMenuStyle(TsSkinableMenus& menus) : menus_(menus) {
    menus_.HookMenus = [this](bool on) { HookMenus(on); };
    menus_.ShapeWindow = [](const void* window, const QRegion& outline) {
        auto* menu = static_cast<QMenu*>(const_cast<void*>(window));
        if (menu->mask() != outline)
            menu->setMask(outline);
    };
}

TsMenuStyle::~TsMenuStyle() {
    // The menus may outlive this style: they must not call back into it.
    menus_.HookMenus = nullptr;
    menus_.ShapeWindow = nullptr;
}

bool TsMenuStyle::Skinned() const {
    const TsSkinManager& m = *menus_.Manager();
    return SkinInForce(&m) && m.SkinnedPopups();
}

void TsMenuStyle::InitMainMenu(QMenuBar* bar, bool on) {
    if (!bar)
        return;
    if (on && !menus_.Manager()->SkinnedPopups())
        return;
    bar->setStyle(on ? this : nullptr);
    // The band: the bar's items and one row below them.
    bar->setMinimumHeight(on ? platform::GetSystemMetrics(platform::SM_CYMENU) : 0);
    for (QAction* a : bar->actions())
        if (a->menu())
            InitItems(a->menu(), on);
    bar->update();
}

void TsMenuStyle::InitItems(QMenu* menu, bool on) {
    if (!menu)
        return;
    menu->setStyle(on ? this : nullptr);
    // Counts from the drop-down's next native window; see DrawMenuPicture.
    if (!platform::CanPlaceWindows())
        menu->setAttribute(Qt::WA_TranslucentBackground, on);
    if (on && !adapted_.contains(menu))
        new TacMnuWnd(menu, *this);
    if (!on)
        menu->clearMask();
    for (QAction* a : menu->actions())
        if (a->menu() && a->menu() != menu)
            InitItems(a->menu(), on);
}

void TsMenuStyle::HookMenus(bool on) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QMenuBar* bar : window->findChildren<QMenuBar*>())
            InitMainMenu(bar, on);
        if (auto* menu = qobject_cast<QMenu*>(window);
            menu && !qobject_cast<QMenuBar*>(menu->parent()))
            InitPopupMenu(menu, on);
    }
}

const MenuBackground* TsMenuStyle::Background(const QMenu* menu) const {
    const std::vector<QAction*> visible = VisibleActions(menu);
    if (visible.empty())
        return nullptr;
    std::optional<Bitmap> glyph;
    const TsMenuItem first = ItemOf(menu, visible.front(), glyph);
    MenuBackground* found = menus_.FindMenuBackground(first, QSize());
    if (found && found->Picture.Image().size() != menu->size()) {
        // The drop-down changed its size: its background is made again.
        menus_.ForgetBackground(found);
        found = nullptr;
    }
    return found ? found : menus_.FindMenuBackground(first, menu->size(), menu);
}

void TsMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (Skinned()) {
        if (element == PE_PanelMenuBar && qobject_cast<const QMenuBar*>(widget))
            return DrawBar(option, painter, widget);
        auto* menu = qobject_cast<const QMenu*>(widget);
        if (menu && (element == PE_PanelMenu || element == PE_FrameMenu)) {
            // The frame and the background come from the drop-down's one
            // picture; the painter is clipped to the part asked for.
            if (const MenuBackground* bg = menus_.Painting() ? Background(menu) : nullptr)
                DrawMenuPicture(*painter, *menu, *bg);
            return;
        }
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void TsMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    if (Skinned()) {
        auto* menu = qobject_cast<const QMenu*>(widget);
        switch (element) {
        case CE_MenuBarEmptyArea:
            return DrawBar(option, painter, widget);
        case CE_MenuBarItem:
            return DrawBarItem(option, painter, widget);
        case CE_MenuItem:
            if (menu)
                return DrawDropDownItem(option, painter, menu);
            break;
        case CE_MenuEmptyArea:
            if (menu) {
                if (const MenuBackground* bg = Background(menu))
                    DrawMenuPicture(*painter, *menu, *bg);
                return;
            }
            break;
        default:
            break;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TsMenuStyle::DrawBar(const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const {
    const auto* bar = qobject_cast<const QMenuBar*>(widget);
    const Bitmap* band = band_ && bar ? band_(bar) : nullptr;
    if (band)
        platform::DrawBitmap(*painter, QPoint(0, 0), *band);
    else
        QProxyStyle::drawPrimitive(PE_PanelMenuBar, option, painter, widget);
}

void TsMenuStyle::DrawBarItem(const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    const auto* o = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const auto* bar = qobject_cast<const QMenuBar*>(widget);
    const Bitmap* band = band_ && bar ? band_(bar) : nullptr;
    QAction* a = bar && o ? ActionAt(bar, o->rect) : nullptr;
    if (!o || !band || !a)
        return QProxyStyle::drawControl(CE_MenuBarItem, option, painter, widget);
    TsMenuItem item;
    item.Id = a;
    item.TopLevel = true;
    item.Caption = a->text();
    item.Name = a->objectName();
    item.Enabled = a->isEnabled();
    std::optional<Bitmap> glyph = GlyphOf(a->icon(), item.Enabled);
    item.Glyph = glyph ? &*glyph : nullptr;
    const QRect r = o->rect;
    Bitmap picture(r.width(), r.height());
    menus_.DrawBarItem(item, picture, r.topLeft(), r, {.Selected = Chosen(*o)}, *band);
    platform::DrawBitmap(*painter, r.topLeft(), picture);
}

void TsMenuStyle::DrawDropDownItem(const QStyleOption* option, QPainter* painter,
                                   const QMenu* menu) const {
    const auto* o = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    QAction* a = o ? ActionAt(menu, o->rect) : nullptr;
    if (!o || !a || !menus_.Painting())
        return;
    std::optional<Bitmap> glyph;
    TsMenuItem item = ItemOf(menu, a, glyph);
    item.Enabled = o->state & State_Enabled;
    // Build the drop-down's background first, at the window's size.
    if (!Background(menu))
        return;
    const int fw = menus_.BorderWidth;
    const QRect r = o->rect.translated(-fw, -fw);
    Bitmap picture(r.width(), r.height());
    menus_.DrawMenuItem(item, picture, r.topLeft(), r, LookOf(*o), menu->size(), menu);
    platform::DrawBitmap(*painter, o->rect.topLeft(), picture);
}

QSize TsMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                    const QSize& size, const QWidget* widget) const {
    const auto* o = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!Skinned() || !o)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    TsMenuItem item;
    const qsizetype tab = o->text.indexOf(u'\t');
    item.Caption = tab < 0 ? o->text : o->text.left(tab);
    std::optional<Bitmap> glyph = GlyphOf(o->icon, true);
    item.Glyph = glyph ? &*glyph : nullptr;
    if (type == CT_MenuBarItem) {
        item.TopLevel = true;
        return menus_.MeasureBarItem(item) + QSize(kBarItemPadding, 0);
    }
    if (type == CT_MenuItem) {
        if (tab >= 0)
            item.ShortCut = o->text.mid(tab + 1);
        item.Separator = o->menuItemType == QStyleOptionMenuItem::Separator;
        item.Default = o->menuItemType == QStyleOptionMenuItem::DefaultItem;
        if (widget) {
            const std::vector<QAction*> visible = VisibleActions(widget);
            item.FirstItem = visible.empty() ? nullptr : visible.front();
        }
        return menus_.MeasureMenuItem(item);
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int TsMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                             const QWidget* widget) const {
    if (Skinned()) {
        switch (metric) {
        case PM_MenuPanelWidth:
            return menus_.BorderWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuBarPanelWidth:
        case PM_MenuBarItemSpacing:
        case PM_MenuBarHMargin:
        case PM_MenuBarVMargin:
            return 0;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int TsMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returnData) const {
    if (Skinned()) {
        if (hint == SH_Menu_Mask) {
            auto* menu = qobject_cast<const QMenu*>(widget);
            auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(returnData);
            const MenuBackground* bg = menu ? Background(menu) : nullptr;
            if (!bg || !mask)
                return 0;
            mask->region = menus_.MenuOutline(*bg);
            return 1;
        }
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        if (hint == SH_DrawMenuBarSeparator)
            return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

// ---- The stand-in band ---------------------------------------------------------------

} // namespace skin
