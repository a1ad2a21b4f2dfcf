#include "ButtonPainter.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zs::button {

namespace {

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kGray = 0x808080;

QRegion EllipseInset(QSize size, int n) {
    return QRegion(n, n, size.width() - 2 * n, size.height() - 2 * n, QRegion::Ellipse);
}

// A bitmap's top-left pixel colour is its transparent colour.
QImage WithKeyTransparency(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) return out;
    const QRgb key = out.pixel(0, 0) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key) line[x] = 0;
        }
    }
    return out;
}

}  // namespace

ButtonPainter::ButtonPainter(const ButtonState& state)
    : st_(state),
      colors_(ResolveStyleColors(state.style, state.backColor, state.hoverBackColor)),
      scheme_(ComputeScheme(state, colors_)),
      slants_(SlantsFor(state.shape, state.size.width(), state.size.height())) {
    LayoutInput in;
    in.size = st_.size;
    in.shape = st_.shape;
    in.caption = st_.caption;
    in.captionAlign = st_.captionAlign;
    in.captionStyle = st_.captionStyle;
    in.hasPicture = !st_.picture.isNull();
    in.pictureSize = st_.picture.size();
    in.pictureAlign = st_.pictureAlign;
    in.pictureSizePx = st_.pictureSizePx;
    layout_ = ComputeLayout(in, QFontMetrics(st_.font));
}

QImage ButtonPainter::Render() {
    image_ = QImage(st_.size, QImage::Format_RGB32);
    if (image_.isNull()) return image_;
    image_.fill(ToQColor(st_.containerBack));
    {
        QPainter p(&image_);
        PrepareEllipse(p);
        FillFace(p);
        const QPoint offset = PressedOffset();
        DrawPicture(p, offset);
        DrawCaption(p, offset);
    }
    if (!IsElliptic(st_.shape)) {
        DrawFrames();
        for (const CornerPixel& c : scheme_.corners) Plot(c.at.x(), c.at.y(), c.color);
    }
    if (scheme_.drawFocus) DrawFocus(PressedOffset());
    return image_;
}

void ButtonPainter::PaintGradient(QPainter& p, const QRect& rect, int gradientMode, Rgb c1,
                                  Rgb c2, QSize screenSize) {
    const bool strips = gradientMode == 1 || gradientMode == 2;
    const int extent = strips ? rect.width() : rect.height();
    const GradientBands bands =
        BandsFor(extent, strips ? screenSize.width() : screenSize.height());
    std::vector<Rgb> colors = GradientSequence(c1, c2, bands.count);
    if (gradientMode == 2 || gradientMode == 4) std::reverse(colors.begin(), colors.end());
    for (int i = 0; i < int(colors.size()); ++i) {
        const int start = i * bands.thickness;
        // The last band also covers the pixel an odd extent leaves over.
        const int length = (i + 1 == int(colors.size())) ? extent - start : bands.thickness;
        const QRect band = strips ? QRect(rect.x() + start, rect.y(), length, rect.height())
                                  : QRect(rect.x(), rect.y() + start, rect.width(), length);
        p.fillRect(band, ToQColor(colors[i]));
    }
}

void ButtonPainter::PrepareEllipse(QPainter& p) {
    if (!IsElliptic(st_.shape)) return;
    if (st_.shape != kEllipseOutlined && st_.style != 5) {
        PaintGradient(p, image_.rect(), 3, kWhite, kGray, st_.screenSize);
    }
    p.setClipRegion(EllipseInset(st_.size, 1));
}

Rgb ButtonPainter::FillColor() const {
    const bool downCommand = st_.down() && !st_.toggle();
    if (st_.hovering && !downCommand && !st_.selected()) return scheme_.hoverFace;
    return scheme_.face;
}

void ButtonPainter::FillFace(QPainter& p) {
    const int w = st_.size.width(), h = st_.size.height();
    const bool idle = !st_.hovering && !st_.down() && !st_.selected();
    if (IsElliptic(st_.shape)) {
        p.setClipping(false);
        if (st_.style == 5 && idle) {
            if (scheme_.designEllipse) {
                QPen pen(Qt::white, 1, Qt::DotLine);
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QRect(0, 0, w - 1, h - 1));
                p.setClipRegion(EllipseInset(st_.size, 1));
            }
        } else if (st_.shape == kEllipseOutlined) {
            p.setPen(Qt::black);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRect(0, 0, w - 1, h - 1));
            p.setClipRegion(EllipseInset(st_.size, 1));
        } else {
            if (st_.style == 5) PaintGradient(p, image_.rect(), 3, kWhite, kGray, st_.screenSize);
            p.setClipRegion(EllipseInset(st_.size, 1));
            if (st_.down() || st_.selected()) {
                PaintGradient(p, image_.rect(), 3, kGray, kWhite, st_.screenSize);
                p.setClipRegion(EllipseInset(st_.size, 2));
            }
        }
    }
    const Rgb fill = FillColor();
    if (st_.selected() || !st_.hasGradient()) {
        p.fillRect(QRect(0, 0, w, h), ToQColor(fill));
        if (st_.style == 2 && (st_.enabled || st_.toggle())) {
            for (int y = 1; y <= h - 1; ++y) {
                const int delta = static_cast<int>(std::nearbyint(-25.0 * y / h));
                p.fillRect(QRect(1, y, w - 2, 1), ToQColor(Shb(fill, delta)));
            }
        }
        return;
    }
    if (st_.hovering && !st_.down() && st_.hoverBackColor != st_.gradientColor) {
        p.fillRect(QRect(0, 0, w, h), ToQColor(scheme_.hoverFace));
        return;
    }
    PaintGradient(p, QRect(0, 0, w, h), st_.gradientMode, fill, scheme_.gradient2,
                  st_.screenSize);
}

QPoint ButtonPainter::PressedOffset() const {
    if (!scheme_.pressedOffset || !(st_.selected() || st_.down())) return {};
    return {IsElliptic(st_.shape) ? 0 : 1, 1};
}

void ButtonPainter::DrawPicture(QPainter& p, QPoint offset) {
    if (st_.picture.isNull()) return;
    const QRect box = layout_.picture.moved(offset.x(), offset.y()).rect();
    if (box.isEmpty()) return;
    QImage source = st_.pictureIsIcon ? st_.picture.convertToFormat(QImage::Format_ARGB32)
                                      : WithKeyTransparency(st_.picture);
    source = source.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (st_.enabled) {
        p.drawImage(box.topLeft(), source);
        return;
    }
    // Disabled: every pixel that is not white once the image lies on white
    // becomes part of a two-tone silhouette.
    QImage scratch(source.size(), QImage::Format_RGB32);
    scratch.fill(Qt::white);
    {
        QPainter sp(&scratch);
        sp.drawImage(0, 0, source);
    }
    QImage silhouette(source.size(), QImage::Format_ARGB32);
    silhouette.fill(Qt::transparent);
    for (int y = 0; y < scratch.height(); ++y) {
        for (int x = 0; x < scratch.width(); ++x) {
            if ((scratch.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) silhouette.setPixel(x, y, 0xFF000000);
        }
    }
    const auto stamp = [&](Rgb color, QPoint at) {
        QImage tinted = silhouette;
        QPainter tp(&tinted);
        tp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tp.fillRect(tinted.rect(), ToQColor(color));
        tp.end();
        p.drawImage(at, tinted);
    };
    stamp(Sh(0xC0C0C0, 36), box.topLeft() - QPoint(1, 1));
    stamp(Sh(0xC0C0C0, -36), box.topLeft());
}

void ButtonPainter::DrawCaption(QPainter& p, QPoint offset) {
    if (!layout_.hasCaption) return;
    const QString text = DisplayCaption(st_.caption);
    const int flags = CaptionTextFlags(st_.captionAlign);
    QRect box = layout_.caption.moved(offset.x(), offset.y()).rect();
    const bool raised = st_.captionStyle == 1 || st_.captionStyle == 2;
    if (raised) box.adjust(1, 1, -1, -1);
    p.setFont(st_.font);
    const auto draw = [&](Rgb color, QPoint shift) {
        p.setPen(ToQColor(color));
        p.drawText(box.translated(shift), flags, text);
    };
    const Rgb passed = scheme_.captionColor;
    if (!st_.enabled) {
        if (!scheme_.singlePassDisabled && (passed < 0 || st_.hasGradient())) {
            draw(kWhite, {1, 1});
            draw(kGray, {});
        } else {
            draw(passed, {});
        }
        return;
    }
    Rgb color = st_.foreColor;
    if (st_.hovering && !st_.down()) {
        color = scheme_.hoverCaption >= 0 ? scheme_.hoverCaption : st_.hoverForeColor;
    } else if (st_.style == 7 && !st_.hasGradient() && passed >= 0) {
        color = passed;
    }
    if (raised) {
        const int delta = st_.captionStyle == 1 ? -40 : 40;
        draw(Sh(scheme_.face, delta), {-1, -1});
        draw(Sh(scheme_.face, -delta), {1, 1});
    }
    draw(color, {});
}

void ButtonPainter::Plot(int x, int y, Rgb c) {
    if (c < 0 || !image_.valid(x, y)) return;
    image_.setPixel(x, y, 0xFF000000u | ToQColor(c).rgb());
}

void ButtonPainter::Line(QPoint a, QPoint b, Rgb c, bool dotted) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    for (int i = 0; x != b.x() || y != b.y(); ++i) {
        if (!dotted || i % 2 == 0) Plot(x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void ButtonPainter::Outline(const Box& box, Rgb c, bool dotted) {
    const QPoint tl(box.l, box.t), tr(box.r - 1, box.t), br(box.r - 1, box.b - 1),
        bl(box.l, box.b - 1);
    Line(tl, tr, c, dotted);
    Line(tr, br, c, dotted);
    Line(br, bl, c, dotted);
    Line(bl, tl, c, dotted);
}

void ButtonPainter::DrawFrames() {
    const int w = st_.size.width(), h = st_.size.height();
    const int d = slants_.d, rs = slants_.rs, l = slants_.l, r = slants_.r;
    // Corner points of each frame: bottom-left start, top-left, top-right,
    // bottom-right, bottom end.
    const std::array<QPoint, 5> inner = {QPoint(d - 4 * l + 2, h - 3), QPoint(2 * l + 2, 2),
                                         QPoint(rs + 3 * r - 3, 2), QPoint(w - 3 - 3 * r, h - 3),
                                         QPoint(d - 4 * l + 1, h - 3)};
    const std::array<QPoint, 5> middle = {inner[0] + QPoint(l - 1, 1), inner[1] + QPoint(-l - 1, -1),
                                          inner[2] + QPoint(1 - r, -1), inner[3] + QPoint(r + 1, 1),
                                          inner[4] + QPoint(-1, 1)};
    const std::array<QPoint, 5> outer = {QPoint(d - l, h - 1 + l), QPoint(0, 0),
                                         QPoint(rs + r - 1, 0), QPoint(w - 1, h - 1 + r),
                                         QPoint(d - 2 * l - 1, h - 1)};
    const std::array<const std::array<QPoint, 5>*, 3> frames = {&inner, &middle, &outer};
    Rgb lastPen = kNoColor;
    for (int f = 0; f < 3; ++f) {
        const auto& pts = *frames[f];
        const bool dotted = f == kOuter && scheme_.outerDotted;
        for (int side = 0; side < 4; ++side) {
            const Rgb c = scheme_.edges[EdgeIndex(Frame(f), Side(side))];
            if (c < 0) continue;
            Line(pts[side], pts[side + 1], c, dotted);
            lastPen = c;
        }
    }
    if (lastPen >= 0) Line(outer[4], QPoint(w - 1, h - 1), lastPen, scheme_.outerDotted);
}

void ButtonPainter::DrawFocus(QPoint offset) {
    const int w = st_.size.width(), h = st_.size.height();
    const Rgb c = scheme_.focusColor;
    if (scheme_.focusAroundCaption) {
        Box box = layout_.hasCaption ? layout_.caption : layout_.picture;
        if (!layout_.hasCaption) {
            box = {std::max(box.l, 4), std::max(box.t, 4), std::min(box.r, w - 4),
                   std::min(box.b, h - 4)};
        }
        const bool clear = box.l - 2 >= slants_.x0 + 4 - 2 && box.r + 2 <= slants_.x1 - 4 + 2;
        Outline(box.grown(clear ? 2 : 1).moved(offset.x(), offset.y()), c, !scheme_.focusSolid);
        return;
    }
    if (IsSlanted(st_.shape)) {
        const int d = slants_.d, rs = slants_.rs, l = slants_.l, r = slants_.r;
        const QPolygon poly({{d - 6 * l + 4, h - 5}, {4 * l + 4, 4}, {rs + 4 * r - 5, 4},
                             {w - 5 - 6 * r, h - 5}, {d - 4 * l + 3, h - 5}});
        for (int i = 0; i + 1 < poly.size(); ++i) Line(poly[i], poly[i + 1], c, false);
        return;
    }
    Outline({slants_.d + 4, 4, slants_.rs - 4, h - 4}, c, !scheme_.focusSolid);
}

}  // namespace zs::button
