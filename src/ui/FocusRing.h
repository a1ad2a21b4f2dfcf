#pragma once

// A ring in the palette's highlight colour around the list, tree, table or
// combo box that has the keyboard focus. The style draws no focus mark of its
// own on these until the keyboard has moved the focus once, so the widget a
// window starts in would show none.
namespace FocusRing {

// Call once the application object exists; every window shows the ring from
// then on. Further calls do nothing.
void Install();

}  // namespace FocusRing
