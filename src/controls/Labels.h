// The label classes: TsCustomLabel shows a caption of one or more lines
// (CR LF separated) and, with AutoSize, sizes itself to it. TsLabel and
// TsLabelFX are the program's two kinds of label; the skin takes over their
// colours and shadows.
#pragma once

#include "platform/WidgetControl.h"

#include <QWidget>

namespace controls {

class TsCustomLabel : public QWidget, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TsCustomLabel(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    bool IsWindowed() const override { return false; }

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    // The size of the caption in the label's font.
    QSize TextSize() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void FontChanged() override;

private:
    void AdjustToText();

    QString caption_;
    bool autoSize_ = true;
};

class TsLabel : public TsCustomLabel {
    Q_OBJECT
public:
    using TsCustomLabel::TsCustomLabel;
};

class TsLabelFX : public TsCustomLabel {
    Q_OBJECT
public:
    using TsCustomLabel::TsCustomLabel;

    // The skin section painted behind the text (empty: none).
    QString SkinSection;
};

} // namespace controls
