#pragma once

class FlexMaskEditBox;

namespace mUtility {

// Selects the whole text of `This` (selection start 0, length of the text), so
// that typing replaces it. Errors go through the error module with the tag
// "mUtility.HiLiteMe(This)". A null pointer does nothing.
void HiLiteMe(FlexMaskEditBox* This);

// Makes `box` select its whole text each time it gets the focus (by keyboard
// or by mouse), unless it is empty. The selection is made once the focus change
// has settled, so a click into the field does not undo it.
void HiLiteOnFocus(FlexMaskEditBox* box);

}  // namespace mUtility
