// Qt's menu bar and drop-down menus drawn by the skinned menus. Qt keeps
// everything a menu does (mouse, hover switching, keys, mnemonics,
// accessibility); this style is only asked for sizes, pixels and the
// drop-down's outline. It is set on the menu bar and the menus themselves,
// never on the application. Without a skin in force it answers as the
// plain style does.
#pragma once

#include "skin/menus/TsSkinableMenus.h"

#include <QPointer>
#include <QProxyStyle>
#include <functional>
#include <set>

class QAction;
class QMenu;
class QMenuBar;

namespace skin {

// The band of the menu bar that bar items are drawn over: a picture the
// size of the bar, in the bar's coordinates. Null when there is none.
using MenuBarBandSource = std::function<const platform::Bitmap*(const QMenuBar* bar)>;

class TsMenuStyle;

// The adapter of one drop-down window: its background lives for one
// opening; when a drop-down closes the backgrounds go, and when the last
// one has closed the menus stop painting.
class TacMnuWnd : public QObject {
    Q_OBJECT
public:
    TacMnuWnd(QMenu* menu, TsMenuStyle& style);
    ~TacMnuWnd() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TsMenuStyle> style_;
    // The menu as the style's adapted set knows it: at our destruction the
    // menu is already half destroyed (we are its child), so it is not
    // asked for.
    const QMenu* key_ = nullptr;
    const QObject* object_ = nullptr; // the same menu, as the events name it
};

class TsMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The style must go before `menus` does: the drop-downs it adapted
    // reach `menus` through it while they exist.
    explicit TsMenuStyle(TsSkinableMenus& menus);
    ~TsMenuStyle() override;

    // Where bar items take their background from.
    void SetBarBand(MenuBarBandSource source) { band_ = std::move(source); }

    // Making the menus ours (on) or Qt's again (off).
    void InitMainMenu(QMenuBar* bar, bool on);
    void InitItems(QMenu* menu, bool on);
    void InitPopupMenu(QMenu* menu, bool on) { InitItems(menu, on); }
    // Every menu bar and menu of the application's windows.
    void HookMenus(bool on);

    bool Skinned() const;
    TsSkinableMenus& Menus() const { return menus_; }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

private:
    const MenuBackground* Background(const QMenu* menu) const;
    void DrawBar(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    void DrawBarItem(const QStyleOption* option, QPainter* painter, const QWidget* widget) const;
    void DrawDropDownItem(const QStyleOption* option, QPainter* painter, const QMenu* menu) const;

    friend class TacMnuWnd;
    TsSkinableMenus& menus_;
    MenuBarBandSource band_;
    // The drop-downs that have an adapter.
    std::set<const QMenu*> adapted_;
};

} // namespace skin
