// The rune slots as one stop of the keyboard. Tab reaches the field as one
// place; the arrows move among the slots on show as they lie on the screen
// (a row left and right, the nearest slot of the next row up and down,
// never wrapping), Home and End go to the first and the last slot, and
// Enter or Space press the slot as a click on it does. The slot the keys
// act on carries a focus mark once the keys have been used, never in a
// session of the mouse alone, and a screen reader is told it is focused.
//
// The field lies over the slots, lets the mouse through to them and paints
// nothing but the mark: the skin's dotted focus frame in the skin's colours,
// or the platform's focus frame without a skin.
#pragma once

#include <QWidget>
#include <vector>

namespace platform {
class TImage;
}
namespace skin {
class TsSkinManager;
}

namespace app {

class RuneField : public QWidget {
public:
    RuneField(QWidget* parent, std::vector<platform::TImage*> runeSlots,
              const skin::TsSkinManager* skin);

    platform::TImage* Current() const { return current_; }
    // Whether the focus mark is on the screen.
    bool MarkShown() const;

    // The slot the keys would reach from the current one by `key` (an arrow,
    // Home or End); the current one where there is none.
    platform::TImage* Neighbour(int key) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // A slot shown or hidden (a new spread): the current one stays on show.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The slots on show, by rows from the top, each row from the left.
    std::vector<platform::TImage*> OnShow() const;
    QRect PlaceOf(const platform::TImage* slot) const;
    QRect MarkRect(const platform::TImage* slot) const;
    // The current slot, made one on show when it is not.
    platform::TImage* CurrentOnShow();
    void MoveTo(platform::TImage* slot);
    void RepaintMark();

    std::vector<platform::TImage*> runeSlots_;
    const skin::TsSkinManager* skin_;
    platform::TImage* current_ = nullptr;
    QRect markShownAt_;
    bool keysUsed_ = false;
};

} // namespace app
