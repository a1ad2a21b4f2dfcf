#pragma once

#include <QString>

namespace mUtility {

// Previews the sound of the selected file, described by SoundInfo: copies its
// samples into a new temporary WAV file (sPreviewFile) and then either plays it
// at once and deletes it (AutoPlaying) or shows the modal preview window, which
// deletes it when it closes. The temporary file is also removed when anything
// fails. Errors pass on to the caller through ErrorIn with the tag
// "mUtility.Preview(sSourceFile)".
void Preview(const QString& sSourceFile);

}  // namespace mUtility
