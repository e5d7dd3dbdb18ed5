// A panel: a skinned area that holds other controls (the six-rune row).
// It paints its "PANEL" section (gradient and texture in one pass, with
// its border) into a cached picture, hands that picture to its children
// as their background, and tells children that waited for it to paint.
#pragma once

#include "platform/Canvas.h"
#include "platform/WidgetControl.h"
#include "skin/draw/TsCommonData.h"

#include <QFrame>
#include <functional>

namespace skin {

class TsPanel : public QFrame, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TsPanel(QWidget* parent = nullptr);
    ~TsPanel() override;

    QWidget* Widget() override { return this; }
    void WndProc(platform::Message& message) override;

    TsCommonData& SkinData() { return skinData_; }
    const TsCommonData& SkinData() const { return skinData_; }

    QString Caption;
    bool ShowCaption = false;
    int BorderWidth = 0;
    // Runs after the skin's picture is drawn, on the picture's canvas.
    std::function<void(TsPanel* sender, platform::Canvas& canvas)> OnPaint;

    // Whether the panel keeps a whole picture of its own (else only its
    // border ring, and its children fill with its colour).
    bool NeedsOwnPicture() const;
    void RenderPanelPicture();
    void AnswerBackground(BackgroundRequest& request);
    // Sends "paint now" to every windowed child that is showing.
    void ResumeChildren();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void PaintPanel(QPainter& painter, bool resumeChildren);
    void PaintPlain(QPainter& painter);
    // The cache into `painter`, except where opaque children cover it.
    void CopyCacheExcludingChildren(QPainter& painter, QRect clip);
    void DrawCaption(platform::Canvas& canvas, QRect client);
    void PassToChildren(platform::Message& message);

    TsCommonData skinData_;
};

} // namespace skin
