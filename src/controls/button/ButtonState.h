#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

#include "ButtonColors.h"

namespace zs::button {

// Bits of ButtonState::stateBits.
enum StateBit : int {
    kDefaultLook = 1,  // shown as the default button (and the focus outline is drawn)
    kPressedBit = 2,   // left button or space bar held
    kOverBit = 4,      // pointer over the button
};

// Everything one drawing of a button needs; the painter reads nothing else.
// Colours are resolved RGB values.
struct ButtonState {
    QSize size;
    QSize screenSize{1920, 1080};  // decides the gradient band thickness
    int style = 0;
    int mode = 0;  // 0 command button, 1 check box, 2 option button
    int shape = 0;
    bool value = false;
    bool enabled = true;
    bool userMode = true;  // false at design time
    bool showFocusRect = true;
    int stateBits = 0;
    bool keyDown = false;   // left button or space bar held on this button
    bool hovering = false;  // hover tracking is on

    QString caption;  // as stored, with "&" and "||"
    QFont font;
    int captionAlign = 2;
    int captionStyle = 0;
    QImage picture;  // null when none
    bool pictureIsIcon = false;
    int pictureAlign = 0;
    int pictureSizePx = 16;

    Rgb foreColor = 0;
    Rgb hoverForeColor = 0;
    Rgb backColor = 0xC0C0C0;
    Rgb hoverBackColor = 0xC0C0C0;
    Rgb gradientColor = 0xC0C0C0;
    Rgb containerBack = 0xC0C0C0;
    int gradientMode = 0;

    bool down() const { return (stateBits & (kPressedBit | kOverBit)) == (kPressedBit | kOverBit); }
    bool toggle() const { return mode != 0; }
    bool selected() const { return mode != 0 && value; }
    // Key held in a toggle mode, or a toggle button that is on.
    bool pressed() const { return (keyDown && toggle()) || selected(); }
    bool hasGradient() const { return gradientMode != 0; }
};

}  // namespace zs::button
