// The push button of the program (the refresh button). Qt's push button
// underneath keeps the keyboard, focus, default-button and click
// behaviour; while a skin is in force every pixel comes from the button's
// cached picture: the parent's picture behind it, the "BUTTON" border of
// its state, the caption and the focus frame. A change of state
// cross-fades from the old picture to the new one.
#pragma once

#include "platform/ImageList.h"
#include "platform/WidgetControl.h"
#include "skin/controls/ButtonFade.h"
#include "skin/draw/TsCommonData.h"

#include <QPushButton>
#include <functional>
#include <memory>
#include <vector>

namespace skin {

// Which mouse events cross-fade; aeGlobalDef: all of them.
enum AnimatEvent : unsigned {
    aeMouseEnter = 1,
    aeMouseLeave = 2,
    aeMouseDown = 4,
    aeMouseUp = 8,
    aeGlobalDef = 16,
};

enum class ImageAlignment { iaLeft, iaRight, iaTop, iaBottom, iaCenter };

class TsButton : public QPushButton, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TsButton(QWidget* parent = nullptr);
    ~TsButton() override;

    QWidget* Widget() override { return this; }
    void WndProc(platform::Message& message) override;

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }

    TsCtrlSkinData& SkinData() { return skinData_; }
    const TsCtrlSkinData& SkinData() const { return skinData_; }

    unsigned AnimatEvents = aeGlobalDef;
    bool ShowFocus = true;
    unsigned DisabledKind = 2; // dkBlended
    int FocusMargin = 1;
    int ContentMargin = 6;
    bool WordWrap = true;
    // Glyph: none without an image list.
    const platform::TImageList* Images = nullptr;
    int ImageIndex = -1, HotImageIndex = -1, PressedImageIndex = -1, SelectedImageIndex = -1,
        DisabledImageIndex = -1;
    ImageAlignment Alignment = ImageAlignment::iaLeft;
    QMargins ImageMargins;

    bool Down() const { return down_; }
    void SetDown(bool down);

    // 0 normal, 1 hot, 2 pressed.
    int ButtonState() const;
    void PrepareButtonCache();
    // The caption's place in the picture for the current state.
    QRect CaptionRect();
    // Drops the pictures kept of earlier looks (the next paint renders).
    void ForgetPictures() { pictures_.clear(); }
    // The fade, when one runs.
    const TsFadeTimer* FadeTimer() const { return fade_.get(); }
    // The picture shown last (a fade frame or the cache).
    const platform::Bitmap& ShownPicture() const;

    // Runs when the button is pressed (by mouse or keyboard).
    std::function<void(TsButton* sender)> OnClick;
    std::function<void(TsButton*sender)> OnMouseEnter, OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool Skinned() const { return skinData_.IsSkinned(); }
    void StartFade(bool halfSteps, AnimatEvent event);
    void ShowFadeFrame();
    void StopFade();
    void DrawCaption(platform::Bitmap& cache);
    void DrawGlyph(platform::Bitmap& cache);
    QSize CaptionSize(platform::Bitmap& cache);
    QSize MeasureCaption(platform::Bitmap& cache);
    void EndForcedPress();
    // The caption drawn once into a see-through layer, laid over every
    // picture until its text, font, size or colours change.
    const platform::Bitmap& CaptionLayer(QRect r, bool hot);

    TsCtrlSkinData skinData_;
    std::unique_ptr<TsFadeTimer> fade_;
    platform::Bitmap frame_; // the fade frame on screen
    bool showingFrame_ = false;
    bool down_ = false;
    bool pressInProgress_ = false;
    bool forcedPressed_ = false;
    std::unique_ptr<QTimer> pressPause_;
    // What the cached picture was rendered from; a paint that finds the
    // same renders nothing and shows the cache in one copy.
    struct Look {
        int State = -1;
        bool Focused = false, Enabled = true;
        QRect Bounds;
        QString Text;
        platform::TFont Font;
        int64_t ParentKey = 0;
        int ParentX = 0, ParentY = 0;
        uint32_t ParentColor = 0;
        int Section = -1;
        const void* Manager = nullptr;
        unsigned DisabledKind = 0;
        bool ShowFocus = true, WordWrap = true;
        const void* Images = nullptr;
        int ImageIndex = -1;
        bool operator==(const Look&) const = default;
    };
    // The pictures of the last few looks (normal, hot, pressed, focused):
    // going back to one of them is a copy.
    struct Rendered {
        Look Of;
        platform::Bitmap Picture;
    };
    std::vector<Rendered> pictures_;
    Look CurrentLook(const ParentCacheInfo& parent) const;
    Look rendered_;
    struct MeasuredCaption {
        QString Text;
        platform::TFont Font;
        int Width = -1;
        bool Wrap = true;
        QSize Size;
    } measured_;
    struct CaptionPicture {
        QString Text;
        platform::TFont Font;
        QRect Rect;
        bool Hot = false;
        int Section = -1;
        const void* Manager = nullptr;
        uint32_t Format = 0;
        bool KeepsTexts = false; // made while text was kept for dense screens
        platform::Bitmap Layer;
    } caption_[2];
};

} // namespace skin
