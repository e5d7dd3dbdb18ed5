#include "controls/ScrollingCredits.h"

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/DrawBitmap.h"

#include <QMouseEvent>
#include <QPainter>

namespace controls {

namespace {

std::optional<platform::TColor> ParseColour(const QString& body) {
    const QStringList parts = body.split(u',');
    if (parts.size() != 3)
        return std::nullopt;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const QString& p = parts[i];
        if (p.isEmpty() || p.size() > 3)
            return std::nullopt;
        for (QChar ch : p)
            if (ch < u'0' || ch > u'9')
                return std::nullopt;
        rgb[i] = p.toInt();
        if (rgb[i] > 255)
            return std::nullopt;
    }
    return platform::RGBColor(rgb[0], rgb[1], rgb[2]);
}

const QStringList kDefaultCredits = {
    QStringLiteral("&b&uTScrollingCredits"),
    QStringLiteral("Lines that rise slowly over a quiet background"),
    QString(),
    QStringLiteral("This version includes basic formatting!!"),
    QStringLiteral("&bMake a line bold with &&b"),
    QStringLiteral("&uMake a line underlined with &&u"),
    QStringLiteral("&iMake a line italicized with &&i"),
    QStringLiteral("&c255,255,0;Make a line a different color"),
    QStringLiteral("&c0,255,255;with &&c[red],[green],[blue];"),
    QString(),
    QStringLiteral("And put that ampersand in with &&&&"),
    QString(),
    QStringLiteral("&bPlease let me know if you find"),
    QStringLiteral("&bthis component useful."),
    QStringLiteral("Thank you for watching to the end"),
};

} // namespace

CreditLine ParseCreditLine(const QString& line) {
    CreditLine out;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != u'&') {
            out.Text += line[i];
            continue;
        }
        if (i + 1 >= line.size())
            break; // a lone '&' at the end is dropped
        switch (line[++i].toLower().unicode()) {
        case u'&':
            out.Text += u'&';
            break;
        case u'b':
            out.Bold = true;
            break;
        case u'i':
            out.Italic = true;
            break;
        case u'u':
            out.Underline = true;
            break;
        case u'c': {
            const qsizetype end = line.indexOf(u';', i + 1);
            const QString body = line.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (const auto colour = ParseColour(body))
                out.Color = colour;
            i = end < 0 ? line.size() : end;
            break;
        }
        default:
            break; // an unknown code is dropped with its letter
        }
    }
    return out;
}

platform::TFont CreditLineFont(const platform::TFont& base, const CreditLine& line) {
    platform::TFont font = base;
    font.Color = line.Color.value_or(base.Color);
    if (line.Bold)
        font.Style = platform::fsBold;
    if (line.Italic)
        font.Style |= platform::fsItalic;
    if (line.Underline)
        font.Style |= platform::fsUnderline;
    return font;
}

TScrollingCredits::TScrollingCredits(QWidget* parent) : QWidget(parent), credits_(kDefaultCredits) {
    creditsFont_.Name = QStringLiteral("Tahoma");
    creditsFont_.Height = 11; // 8 points
    creditsFont_.Color = platform::clWhite;
    resize(305, 201);
    animationTimer_.setInterval(static_cast<int>(interval_));
    connect(&animationTimer_, &QTimer::timeout, this,
            [this] { platform::RunCommand([this] { AnimationTick(); }); });
}

void TScrollingCredits::SetCredits(const QStringList& lines) {
    credits_ = lines;
    repaint();
}

void TScrollingCredits::SetCreditsFont(const platform::TFont& font) {
    creditsFont_ = font;
    update();
}

void TScrollingCredits::SetBackgroundColor(platform::TColor color) {
    backgroundColor_ = color;
    update();
}

void TScrollingCredits::SetBorderColor(platform::TColor color) {
    borderColor_ = color;
    update();
}

void TScrollingCredits::SetShowBorder(bool show) {
    showBorder_ = show;
    update();
}

void TScrollingCredits::SetBackgroundImage(const platform::Bitmap& picture) {
    backgroundImage_ = picture;
    update();
}

void TScrollingCredits::SetAnimate(bool animate) {
    // No early return: switching on again restarts from below the bottom edge.
    scrollOffset_ = height() + LineHeight();
    animate_ = animate;
    if (animate && visible_)
        animationTimer_.start();
    else
        animationTimer_.stop();
    repaint();
}

void TScrollingCredits::SetInterval(uint32_t milliseconds) {
    interval_ = milliseconds;
    animationTimer_.setInterval(static_cast<int>(milliseconds));
}

void TScrollingCredits::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    if (visible && animate_)
        animationTimer_.start();
    else
        animationTimer_.stop();
    RestartScroll();
    if (parentWidget())
        parentWidget()->update();
    update();
}

int TScrollingCredits::LineHeight() const {
    platform::Bitmap none;
    platform::Canvas canvas(none);
    canvas.Font = creditsFont_;
    return canvas.TextHeight(QStringLiteral("A"));
}

void TScrollingCredits::AnimationTick() {
    const int lineHeight = LineHeight();
    const int count = static_cast<int>(credits_.size());
    if (scrollOffset_ < -(count * lineHeight)) {
        DoAfterLastCredit();
        RestartScroll();
    } else {
        --scrollOffset_;
    }
    repaint();
}

void TScrollingCredits::RestartScroll() {
    scrollOffset_ = height();
    lastShownIndex_ = -1;
}

void TScrollingCredits::DoShowCredit(const QString& creditText) {
    if (OnShowCredit)
        OnShowCredit(this, creditText);
}

void TScrollingCredits::DoAfterLastCredit() {
    if (AfterLastCredit)
        AfterLastCredit(this);
}

void TScrollingCredits::PaintOffscreen(platform::Bitmap& target) {
    const int w = width(), h = height();
    target.SetSize(w, h);
    if (target.Empty())
        return;
    platform::Canvas canvas(target);
    canvas.Font = creditsFont_;
    if (!backgroundImage_.Empty())
        canvas.StretchDraw(target.Rect(), backgroundImage_);
    else
        canvas.FillRect(target.Rect(), backgroundColor_);
    const int lineHeight = LineHeight();
    auto draw = [&](const CreditLine& line, int y) {
        canvas.Font = CreditLineFont(creditsFont_, line);
        const int x = w / 2 - canvas.TextWidth(line.Text) / 2;
        canvas.TextOut(x, y, line.Text);
    };
    if (animate_) {
        int y = scrollOffset_;
        for (int k = 0; k < credits_.size(); ++k) {
            const CreditLine line = ParseCreditLine(credits_[k]);
            if (y + lineHeight > 0) {
                draw(line, y);
                if (k > lastShownIndex_) {
                    DoShowCredit(line.Text);
                    lastShownIndex_ = k;
                }
            }
            y += lineHeight;
            if (y > h)
                break;
        }
    } else {
        for (int k = 0; k < credits_.size(); ++k)
            draw(ParseCreditLine(credits_[k]), StaticTopMargin + k * lineHeight);
    }
    if (showBorder_) {
        canvas.FillRect(QRect(0, 0, w, 1), borderColor_);
        canvas.FillRect(QRect(0, h - 1, w, 1), borderColor_);
        canvas.FillRect(QRect(0, 0, 1, h), borderColor_);
        canvas.FillRect(QRect(w - 1, 0, 1, h), borderColor_);
    }
}

void TScrollingCredits::paintEvent(QPaintEvent*) {
    if (!visible_)
        return;
    PaintOffscreen(offscreen_);
    QPainter p(this);
    platform::DrawBitmap(p, QPoint(0, 0), offscreen_);
}

void TScrollingCredits::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        platform::RunCommand([this] { OnClick(this); });
}

void TScrollingCredits::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnDblClick)
        platform::RunCommand([this] { OnDblClick(this); });
}

} // namespace controls
