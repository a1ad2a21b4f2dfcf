#pragma once

#include <QPoint>
#include <array>
#include <vector>

#include "ButtonState.h"

// The eight looks of the gradient button as data: for one state, which face
// and caption colours a style uses and which colours its three nested frames
// get. ButtonPainter turns a StyleScheme into pixels.
namespace zs::button {

// The four face colours of a style, derived from BackColor and HoverBackColor.
struct StyleColors {
    Rgb face = 0;
    Rgb hoverFace = 0;
    Rgb pressedFace = 0;
    Rgb selectedFace = 0;
};
StyleColors ResolveStyleColors(int style, Rgb backColor, Rgb hoverBackColor);

// Edge indexes into StyleScheme::edges: frame * 4 + side.
enum Frame { kInner = 0, kMiddle = 1, kOuter = 2 };
enum Side { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3 };
constexpr int EdgeIndex(Frame f, Side s) { return f * 4 + s; }

struct CornerPixel {
    QPoint at;
    Rgb color;
};

struct StyleScheme {
    Rgb face = 0;          // F: the face for this state
    Rgb gradient2 = 0;     // second gradient colour
    Rgb hoverFace = 0;
    Rgb captionColor = kNoColor;  // kNoColor: ForeColor, and the etched look when disabled
    Rgb hoverCaption = kNoColor;  // replaces HoverForeColor for this drawing when set
    bool singlePassDisabled = false;  // disabled caption drawn once, in captionColor
    bool pressedOffset = true;        // caption moves when selected or down
    int level = 0;                    // border level L
    std::array<Rgb, 12> edges;        // kNoColor: edge not drawn
    bool outerDotted = false;
    std::vector<CornerPixel> corners;  // set after the frames
    bool drawFocus = false;
    Rgb focusColor = 0;
    bool focusSolid = false;
    bool focusAroundCaption = false;  // else the style's shape outline
    bool designEllipse = false;       // dotted white ellipse outline (style 5 at design time)

    StyleScheme() { edges.fill(kNoColor); }
};

// The scheme of st.style for the state in st.
StyleScheme ComputeScheme(const ButtonState& st, const StyleColors& colors);

}  // namespace zs::button
