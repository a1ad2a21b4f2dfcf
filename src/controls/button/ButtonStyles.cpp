#include "ButtonStyles.h"

#include <algorithm>

#include "ButtonGeometry.h"

namespace zs::button {

namespace {

constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kGray = 0x808080;

void SetFrame(StyleScheme& s, Frame f, Rgb leftTop, Rgb rightBottom) {
    s.edges[EdgeIndex(f, kLeft)] = leftTop;
    s.edges[EdgeIndex(f, kTop)] = leftTop;
    s.edges[EdgeIndex(f, kRight)] = rightBottom;
    s.edges[EdgeIndex(f, kBottom)] = rightBottom;
}

// The border level the face fill hands to every style.
int FillLevel(const ButtonState& st) { return st.down() ? 2 : (st.stateBits & kDefaultLook); }

// The colour the focus outline uses where a style says "the caption colour".
Rgb CaptionOrFore(const StyleScheme& s, const ButtonState& st) {
    return s.captionColor >= 0 ? s.captionColor : st.foreColor;
}

// Face and caption colour shared by styles 0, 1, 4, 5 and 6.
void ClassicFace(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    s.face = st.selected() ? c.selectedFace : c.face;
    s.captionColor = (!st.enabled && st.toggle()) ? kGray : kNoColor;
}

// Focus colour of styles 1, 4 and 6.
void BevelFocus(StyleScheme& s, const ButtonState& st) {
    s.focusColor = (st.shape > 0 && !st.pressed()) ? Sh(s.face, -48) : CaptionOrFore(s, st);
    s.focusSolid = st.selected();
}

// Outer frame only, light on the left and top for level 1, dark for level 2.
void ThinBevel(StyleScheme& s, const ButtonState& st) {
    s.level = st.pressed() ? 2 : std::max(FillLevel(st), 1);
    const bool raised = s.level == 1;
    SetFrame(s, kOuter, raised ? kWhite : kGray, raised ? kGray : kWhite);
}

void Style0(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    ClassicFace(s, st, c);
    const bool pressed = st.pressed();
    s.level = pressed ? 3 : FillLevel(st);
    const Rgb k = (st.down() && !pressed) ? s.face : MakeRgb(233, 233, 233);
    switch (s.level) {
        case 0:
            SetFrame(s, kMiddle, k, kGray);
            break;
        case 1:
            SetFrame(s, kInner, k, kGray);
            SetFrame(s, kMiddle, kWhite, kBlack);
            break;
        case 2:
            SetFrame(s, kMiddle, kNoColor, kGray);
            break;
        default:
            SetFrame(s, kMiddle, kNoColor, k);
            break;
    }
    const Rgb outerLeftTop = (pressed || (st.stateBits & kDefaultLook)) ? kBlack : kWhite;
    SetFrame(s, kOuter, outerLeftTop, pressed ? kWhite : kBlack);
    s.focusColor = pressed ? kBlack : (st.shape > 0 ? Sh(s.face, -48) : CaptionOrFore(s, st));
    s.focusSolid = st.selected();
}

void Style1(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    ClassicFace(s, st, c);
    s.level = st.pressed() ? 2 : std::max(FillLevel(st), 1);
    const bool raised = s.level == 1;
    SetFrame(s, kInner, raised ? kWhite : kGray, raised ? kGray : kWhite);
    SetFrame(s, kMiddle, raised ? kWhite : kGray, raised ? kGray : kWhite);
    SetFrame(s, kOuter, kBlack, kBlack);
    BevelFocus(s, st);
}

void Style2Edges(StyleScheme& s) {
    const Rgb f = s.face;
    using E = std::array<Rgb, 8>;  // inner L T R B, middle L T R B
    static const E kDefault = {MakeRgb(181, 209, 240), MakeRgb(189, 215, 247),
                               MakeRgb(181, 209, 240), MakeRgb(140, 174, 231),
                               MakeRgb(140, 174, 231), MakeRgb(191, 223, 255),
                               MakeRgb(140, 174, 231), MakeRgb(107, 130, 239)};
    static const E kHover = {MakeRgb(255, 203, 107), MakeRgb(255, 219, 140),
                             MakeRgb(255, 203, 107), MakeRgb(255, 178, 49),
                             MakeRgb(255, 178, 49),  MakeRgb(255, 233, 166),
                             MakeRgb(255, 178, 49),  MakeRgb(231, 150, 0)};
    E e;
    switch (s.level) {
        case 0:
            e = {Shb(f, -10), Shb(f, 10), Shb(f, -24), Shb(f, -32),
                 Shb(f, -5), Shb(f, 16), Shb(f, -36), Shb(f, -48)};
            break;
        case 1: e = kDefault; break;
        case 2:
            e = {Shb(f, -22), Shb(f, -24), f, Shb(f, 10),
                 Shb(f, -32), Shb(f, -32), Shb(f, 5), Shb(f, 16)};
            break;
        default: e = kHover; break;
    }
    std::copy(e.begin(), e.end(), s.edges.begin());
}

void Style2(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    if (!st.toggle()) {
        s.face = c.face;
        if (!st.enabled) {
            s.face = Shb(c.face, -24);
        } else if (st.down() && !st.hasGradient()) {
            s.face = c.pressedFace;
        }
    } else {
        s.face = st.selected() ? c.selectedFace : c.face;
    }
    s.gradient2 = Shb(st.gradientColor, 48);
    s.level = FillLevel(st);
    Rgb outer = MakeRgb(0, 60, 115);
    if (st.enabled) {
        s.captionColor = kNoColor;
        if (st.pressed()) s.level = (st.stateBits & kDefaultLook) ? 1 : 2;
        if ((st.stateBits & kOverBit) && !(st.stateBits & kPressedBit)) {
            s.level = 3;
        } else if (s.level == 1 && !st.showFocusRect) {
            s.level = 0;
        }
        Style2Edges(s);
    } else {
        s.captionColor = Shb(s.face, -104);
        outer = Shb(s.face, -84);
    }
    SetFrame(s, kOuter, outer, outer);
    const Slants sl = SlantsFor(st.shape, st.size.width(), st.size.height());
    const int w = st.size.width(), h = st.size.height();
    if (!sl.l) s.corners.insert(s.corners.end(), {{{1, 1}, outer}, {{1, h - 2}, outer}});
    if (!sl.r) s.corners.insert(s.corners.end(), {{{w - 2, 1}, outer}, {{w - 2, h - 2}, outer}});
    if (IsElliptic(st.shape)) {
        // Elliptic buttons have no frames; the outline shows default and hover instead.
        s.focusAroundCaption = true;
        s.focusSolid = true;
        if (st.hovering) {
            s.drawFocus = true;
            s.focusColor = MakeRgb(231, 150, 0);
        } else if (st.stateBits & kDefaultLook) {
            s.focusColor = MakeRgb(107, 130, 239);
        } else {
            s.drawFocus = false;
        }
    } else {
        s.focusColor = CaptionOrFore(s, st);
        s.focusSolid = st.selected();
    }
}

void Style3(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    s.face = st.selected() ? c.selectedFace : (st.down() && !st.toggle()) ? c.pressedFace : c.face;
    s.pressedOffset = false;
    if (!st.enabled) {
        s.captionColor = Sh(kGray, -16);
        s.singlePassDisabled = true;
    }
    const Rgb etch = Sh(kGray, -26);
    if (st.enabled || st.toggle()) {
        if (st.toggle()) {
            s.level = (st.selected() || st.keyDown) ? 2 : 3;
        } else {
            s.level = std::max(FillLevel(st), 1);
        }
        SetFrame(s, kMiddle, s.level == 2 ? s.face : kWhite, etch);
        SetFrame(s, kOuter, etch, kWhite);
    } else {
        s.level = FillLevel(st);
        SetFrame(s, kInner, s.face, s.face);
        SetFrame(s, kMiddle, s.face, s.face);
        SetFrame(s, kOuter, etch, etch);
    }
    s.focusColor = MakeRgb(153, 153, 204);
    s.focusSolid = true;
    s.focusAroundCaption = true;
}

void Style4(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    ClassicFace(s, st, c);
    ThinBevel(s, st);
    BevelFocus(s, st);
}

void Style5(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    ClassicFace(s, st, c);
    s.focusColor = (st.shape > 0 && !st.selected()) ? Sh(st.containerBack, -32) : kBlack;
    s.focusSolid = st.selected();
    if ((st.stateBits & kOverBit) || st.selected()) {
        ThinBevel(s, st);
        return;
    }
    s.level = FillLevel(st);
    if (!st.userMode) {
        Rgb dots = Sh(st.containerBack, -64);
        if (dots == kBlack) dots = kWhite;
        SetFrame(s, kOuter, dots, dots);
        s.outerDotted = true;
        s.designEllipse = IsElliptic(st.shape);
    }
}

void Style6(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    ClassicFace(s, st, c);
    const Rgb k = Sh(MakeRgb(223, 223, 223), 8);
    s.level = (st.pressed() || st.down()) ? 1 : 0;
    const Rgb leftTop = s.level == 0 ? k : kGray;
    const Rgb rightBottom = s.level == 0 ? kGray : k;
    SetFrame(s, kMiddle, leftTop, rightBottom);
    SetFrame(s, kOuter, leftTop, rightBottom);
    BevelFocus(s, st);
}

void Style7(StyleScheme& s, const ButtonState& st, const StyleColors& c) {
    const bool downCommand = st.down() && !st.toggle();
    s.face = c.face;
    if (st.selected()) {
        s.face = c.selectedFace;
    } else if (downCommand && !st.hasGradient()) {
        s.face = c.pressedFace;
    }
    if (st.hasGradient()) s.gradient2 = Sh(st.gradientColor, 31);

    if (downCommand || st.selected()) {
        s.captionColor = (!st.enabled && st.selected()) ? Shb(s.face, -32) : c.face;
    } else if (st.enabled || !st.toggle()) {
        s.captionColor = kNoColor;
    } else {
        s.captionColor = kGray;
    }
    if (st.selected() && st.hoverForeColor == st.foreColor) s.hoverCaption = s.captionColor;

    s.level = FillLevel(st);
    if (st.selected() || st.down()) {
        s.level = 2;
    } else if (st.toggle() && st.keyDown) {
        s.level = 0;
    }
    Rgb a = Shb(s.face, 31), b = Shb(s.face, -64), t = kWhite, f = s.face;
    if (s.level == 2) {
        const Rgb e = st.hasGradient() ? c.face : kGray;
        f = e;
        t = Sh(e, -32);
        a = Sh(e, -64);
        b = Sh(e, -16);
    }
    SetFrame(s, kInner, t, f);
    SetFrame(s, kMiddle, a, b);
    SetFrame(s, kOuter, kBlack, kBlack);

    const Slants sl = SlantsFor(st.shape, st.size.width(), st.size.height());
    const int w = st.size.width(), h = st.size.height();
    if (!sl.l) {
        s.corners.insert(s.corners.end(), {{{3, 3}, t}, {{1, h - 3}, f}, {{2, 2}, a},
                                           {{1, h - 2}, kBlack}, {{1, 1}, kBlack}});
    }
    if (!sl.r) {
        s.corners.insert(s.corners.end(), {{{w - 4, h - 4}, f}, {{w - 3, 1}, f},
                                           {{w - 3, h - 3}, b}, {{w - 2, h - 2}, kBlack},
                                           {{w - 2, 1}, kBlack}});
    }
    s.focusAroundCaption = true;
    s.focusSolid = st.selected();
    s.focusColor = st.selected() ? Sh(kGray, -32) : CaptionOrFore(s, st);
}

}  // namespace

StyleColors ResolveStyleColors(int style, Rgb backColor, Rgb hoverBackColor) {
    StyleColors c;
    switch (style) {
        case 2:
            c.face = Shb(backColor, 48);
            c.hoverFace = Shb(hoverBackColor, 48);
            c.pressedFace = Shb(c.face, -32);
            c.selectedFace = Shb(kWhite, -32);
            break;
        case 3:
            c.face = backColor;
            c.hoverFace = hoverBackColor;
            c.pressedFace = Sh(kGray, 12);
            c.selectedFace = Sh(c.pressedFace, 31);
            break;
        case 7:
            c.face = Sh(backColor, 31);
            c.hoverFace = Sh(hoverBackColor, 31);
            c.pressedFace = Sh(kGray, -16);
            c.selectedFace = Shb(kGray, 16);
            break;
        default:
            c.face = backColor;
            c.hoverFace = hoverBackColor;
            c.pressedFace = backColor;
            c.selectedFace = Sh(kWhite, -32);
            break;
    }
    return c;
}

StyleScheme ComputeScheme(const ButtonState& st, const StyleColors& colors) {
    StyleScheme s;
    s.hoverFace = colors.hoverFace;
    s.gradient2 = st.gradientColor;
    s.drawFocus = (st.stateBits & kDefaultLook) != 0;
    s.focusAroundCaption = IsElliptic(st.shape);
    switch (st.style) {
        case 1: Style1(s, st, colors); break;
        case 2: Style2(s, st, colors); break;
        case 3: Style3(s, st, colors); break;
        case 4: Style4(s, st, colors); break;
        case 5: Style5(s, st, colors); break;
        case 6: Style6(s, st, colors); break;
        case 7: Style7(s, st, colors); break;
        default: Style0(s, st, colors); break;
    }
    if (IsElliptic(st.shape)) s.focusAroundCaption = true;
    return s;
}

}  // namespace zs::button
