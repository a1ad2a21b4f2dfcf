#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

// Geometry of the gradient button: the window shape, the slants of the
// slanted shapes and the placement of caption and picture. All values are
// pixels of the control's client area; w and h are its width and height.
namespace zs::button {

// ButtonShape values.
enum Shape { kRectangle = 0, kSlantLeft = 1, kSlantRight = 2, kSlantBoth = 3,
             kEllipse = 4, kEllipseAlt = 5, kEllipseOutlined = 6 };

bool IsElliptic(int shape);
bool IsSlanted(int shape);

// A box in edge coordinates: left and top inside, right and bottom just outside.
struct Box {
    int l = 0, t = 0, r = 0, b = 0;
    QRect rect() const { return QRect(l, t, r - l, b - t); }
    Box moved(int dx, int dy) const { return {l + dx, t + dy, r + dx, b + dy}; }
    Box grown(int n) const { return {l - n, t - n, r + n, b + n}; }
    bool operator==(const Box&) const = default;
};

// The slants of one shape at one size.
struct Slants {
    int d = 0;         // left slant width (0 without a left slant)
    int rs = 0;        // right slant start (w without a right slant)
    int l = 0, r = 0;  // 1 for a left / right slant
    int x0 = 0, x1 = 0;  // horizontal span usable by caption and picture
};
Slants SlantsFor(int shape, int w, int h);

// The width a slanted button needs: its slant is h + 1 wide and at least 5
// pixels must remain, so the width grows in steps of 5 until they do.
// Other shapes keep w.
int RequiredWidth(int shape, int w, int h);

// The window shape: the control shows and hit-tests only inside it.
QRegion ShapeRegion(int shape, int style, bool enabled, QSize size);

// Where caption and picture go.
struct LayoutInput {
    QSize size;
    int shape = 0;
    QString caption;        // as stored: "||" breaks a line, "&" marks the access key
    int captionAlign = 2;   // 0 left, 1 right, 2 centre
    int captionStyle = 0;   // 1 and 2 need one more pixel on each side
    bool hasPicture = false;
    QSize pictureSize;      // the image's own size in pixels
    int pictureAlign = 0;   // 0..5
    int pictureSizePx = 16; // 16, 24, 32 placed beside the caption, 40 stretched, 48 fitted
};
struct Layout {
    Box caption;
    Box picture;
    bool hasCaption = false;
};
Layout ComputeLayout(const LayoutInput& in, const QFontMetrics& fm);

// The caption as drawn: "||" becomes a line break.
QString DisplayCaption(const QString& caption);
// Text flags shared by measuring and drawing (word wrap, "&" as mnemonic).
int CaptionTextFlags(int captionAlign);

}  // namespace zs::button
