#include "ButtonGeometry.h"

#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace zs::button {

namespace {

// Halves round to even, like every other rounding of the button.
int Half(int v) { return static_cast<int>(std::nearbyint(v / 2.0)); }

QRegion Pixel(int x, int y) { return QRegion(x, y, 1, 1); }

// Three pixels at a corner: the corner and its two neighbours along the edges.
QRegion CornerTriangle(int x, int y, int dx, int dy) {
    return Pixel(x, y) + Pixel(x + dx, y) + Pixel(x, y + dy);
}

QRegion CornerCuts(int style, bool enabled, QSize size, bool left, bool right) {
    const int w = size.width(), h = size.height();
    QRegion cut;
    if (style == 2 || style == 7) {
        if (left) cut += CornerTriangle(0, 0, 1, 1) + CornerTriangle(0, h - 1, 1, -1);
        if (right) cut += CornerTriangle(w - 1, 0, -1, 1) + CornerTriangle(w - 1, h - 1, -1, -1);
    } else if (style == 1) {
        if (left) cut += Pixel(0, 0) + Pixel(0, h - 1);
        if (right) cut += Pixel(w - 1, 0) + Pixel(w - 1, h - 1);
    } else if (style == 3 && enabled) {
        if (left) cut += Pixel(0, h - 1);
        if (right) cut += Pixel(w - 1, 0);
    }
    return cut;
}

}  // namespace

bool IsElliptic(int shape) { return shape >= kEllipse && shape <= kEllipseOutlined; }
bool IsSlanted(int shape) { return shape >= kSlantLeft && shape <= kSlantBoth; }

Slants SlantsFor(int shape, int w, int h) {
    Slants s;
    s.rs = w;
    s.x1 = w;
    if (!IsSlanted(shape)) return s;
    const int d = h + 1;
    if (shape == kSlantLeft || shape == kSlantBoth) {
        s.d = d;
        s.l = 1;
        s.x0 = d - d / 3 + 3;
    }
    if (shape == kSlantRight || shape == kSlantBoth) {
        s.rs = w - d;
        s.r = 1;
        s.x1 = s.rs + (w - s.rs) / 3;
    }
    return s;
}

int RequiredWidth(int shape, int w, int h) {
    if (!IsSlanted(shape)) return w;
    const int d = h + 1;
    while (w - d < 5) w += 5;
    return w;
}

QRegion ShapeRegion(int shape, int style, bool enabled, QSize size) {
    const int w = size.width(), h = size.height();
    if (w <= 0 || h <= 0) return {};
    if (IsElliptic(shape)) return QRegion(0, 0, w, h, QRegion::Ellipse);
    QRegion region;
    if (IsSlanted(shape)) {
        const int d = h + 1;
        const int x1 = (shape == kSlantLeft || shape == kSlantBoth) ? d : 0;
        const int x3 = (shape == kSlantRight || shape == kSlantBoth) ? w - d + 1 : w + 1;
        region = QRegion(QPolygon({{0, 0}, {x1, h + 1}, {w + 1, h + 1}, {x3, 0}}));
    } else {
        region = QRegion(0, 0, w + 1, h + 1);
    }
    const bool leftVertical = shape == kRectangle || shape == kSlantRight;
    const bool rightVertical = shape == kRectangle || shape == kSlantLeft;
    return region.intersected(QRegion(0, 0, w, h)) -
           CornerCuts(style, enabled, size, leftVertical, rightVertical);
}

QString DisplayCaption(const QString& caption) {
    QString text = caption;
    return text.replace(QLatin1String("||"), QLatin1String("\n"));
}

int CaptionTextFlags(int captionAlign) {
    int flags = Qt::TextWordWrap | Qt::TextShowMnemonic | Qt::AlignTop;
    switch (captionAlign) {
        case 0: return flags | Qt::AlignLeft;
        case 1: return flags | Qt::AlignRight;
        default: return flags | Qt::AlignHCenter;
    }
}

namespace {

Box ClampBox(Box b, const Slants& s, int h) {
    b.t = std::max(b.t, 4);
    b.l = std::max(b.l, s.x0 + 4);
    b.r = std::min(b.r, s.x1 - 4);
    b.b = std::min(b.b, h - 5);
    return b;
}

Box FittedPicture(const LayoutInput& in, const Slants& s) {
    const int w = in.size.width(), h = in.size.height();
    if (in.pictureSizePx == 40) return {0, 0, w, h};
    const int a = s.x1 - s.x0;
    const QSize image = in.pictureSize;
    if (image.isEmpty()) return {};
    const double scale = std::min(double(a - 12) / image.width(), double(h - 12) / image.height());
    const int pw = std::max(0, int(image.width() * scale));
    const int ph = std::max(0, int(image.height() * scale));
    const int x = s.x0 + Half(a - pw), y = Half(h - ph);
    return {x, y, x + pw, y + ph};
}

}  // namespace

Layout ComputeLayout(const LayoutInput& in, const QFontMetrics& fm) {
    const int w = in.size.width(), h = in.size.height();
    const Slants s = SlantsFor(in.shape, w, h);
    const int a = s.x1 - s.x0;
    const int px = in.hasPicture && in.pictureSizePx <= 32 ? in.pictureSizePx : 0;
    const bool leftPic = px && (in.pictureAlign == 0 || in.pictureAlign == 1);
    const bool rightPic = px && (in.pictureAlign == 2 || in.pictureAlign == 3);
    const bool topPic = px && in.pictureAlign == 4;
    const bool bottomPic = px && in.pictureAlign == 5;

    Layout out;
    out.hasCaption = !in.caption.isEmpty();
    int tw = 0, th = -4;
    if (out.hasCaption) {
        const QRect box(0, 0, std::max(1, a - (leftPic || rightPic ? px : 0) - 8),
                        std::max(1, h - 8 - (topPic || bottomPic ? px : 0)));
        const QRect measured = fm.boundingRect(box, CaptionTextFlags(in.captionAlign),
                                               DisplayCaption(in.caption));
        tw = measured.width();
        th = measured.height();
        if (in.captionStyle == 1 || in.captionStyle == 2) {
            tw += 2;
            th += 2;
        }
    }

    int cx = 0;
    if (in.captionAlign == 0) {
        cx = s.x0 + 4 + (leftPic ? px + 4 : 0);
    } else if (in.captionAlign == 1) {
        cx = s.x1 - tw - 4 - (rightPic ? px + 4 : 0);
    } else if (px && in.pictureAlign == 1) {
        cx = s.x0 + 4 + px + Half(a - tw - px - 4);
    } else if (px && in.pictureAlign == 3) {
        cx = s.x0 + Half(a - tw - px - 4);
    } else {
        const int sl = in.pictureAlign == 0 ? px : 0;
        const int sr = in.pictureAlign == 2 ? px : 0;
        cx = s.x0 + sl + Half(a - tw - sl - sr);
    }
    int cy = Half(h - th);
    int pxLeft = 0, pyTop = Half(h - px);
    switch (px ? in.pictureAlign : -1) {
        case 0: pxLeft = s.x0 + 4; break;
        case 1: pxLeft = out.hasCaption ? cx - px - 4 : s.x0 + 4; break;
        case 2: pxLeft = s.x1 - px - 4; break;
        case 3: pxLeft = out.hasCaption ? cx + tw + 4 : s.x1 - px - 4; break;
        case 4:
        case 5: {
            const int free = h - (th + px);
            pxLeft = s.x0 + Half(a - px);
            pyTop = in.pictureAlign == 4 ? Half(free) : Half(free) + th + 4;
            cy = in.pictureAlign == 4 ? Half(free) + px + 2 : Half(free) + 2;
            break;
        }
        default: break;
    }
    out.caption = ClampBox({cx, cy, cx + tw, cy + th}, s, h);
    if (px) {
        out.picture = ClampBox({pxLeft, pyTop, pxLeft + px, pyTop + px}, s, h);
    } else if (in.hasPicture) {
        out.picture = FittedPicture(in, s);
    }
    return out;
}

}  // namespace zs::button
