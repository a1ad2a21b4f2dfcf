#include "Preview.h"

#include <unistd.h>

#include <QApplication>

#include "NativeName.h"
#include "PreviewFile.h"
#include "SoundInfo.h"
#include "TrapERR.h"
#include "frmPreview.h"
#include "mWavPlay.h"

namespace mUtility {

namespace {

// The preview's copy, removed however the preview ends: once it is whole, or
// by PreviewCopy itself when it is not.
class TemporaryCopy : public PreviewCopy {
public:
    using PreviewCopy::PreviewCopy;
    ~TemporaryCopy() {
        try {
            Finish();
        } catch (...) {
            return;  // reported by whoever waited for it; removed already
        }
        ::unlink(NativeName::Encode(Path()).constData());
    }
};

}  // namespace

void Preview(const QString& sSourceFile) {
    try {
        TemporaryCopy copy(sSourceFile, SoundInfo);
        sPreviewFile = copy.Path();
        if (AutoPlaying) {
            copy.Finish();
            mWavPlay::PlayWave(sPreviewFile);
            return;
        }
        // The preview plays its own sound: a quick play still going would mix with it.
        mWavPlay::StopWave();
        frmPreview form(QApplication::activeWindow());
        form.LoadWhileCopying(copy);
        form.exec();
    }
    ZS_TRAP("mUtility.Preview(sSourceFile)", sSourceFile)
}

}  // namespace mUtility
