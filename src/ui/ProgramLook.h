#pragma once

class QuillonButton;

// The program's command-button look, kept as stored control settings in the
// resource ":/ui/command-button.props" so every window's buttons match.
namespace ProgramLook {

// Loads the stored look into `button` (its caption is set afterwards by the window).
void Apply(QuillonButton* button);

}  // namespace ProgramLook
