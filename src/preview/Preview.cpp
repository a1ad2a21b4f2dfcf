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

// Removes the temporary file however the preview ends.
class TemporaryFile {
public:
    explicit TemporaryFile(QString path) : path_(std::move(path)) {}
    ~TemporaryFile() { ::unlink(NativeName::Encode(path_).constData()); }

private:
    QString path_;
};

}  // namespace

void Preview(const QString& sSourceFile) {
    try {
        sPreviewFile = PreviewFile::Write(sSourceFile, SoundInfo);
        const TemporaryFile cleanup(sPreviewFile);
        if (AutoPlaying) {
            mWavPlay::PlayWave(sPreviewFile);
            return;
        }
        // The preview plays its own sound: a quick play still going would mix with it.
        mWavPlay::StopWave();
        frmPreview form(QApplication::activeWindow());
        form.Form_Load();
        form.exec();
    }
    ZS_TRAP("mUtility.Preview(sSourceFile)", sSourceFile)
}

}  // namespace mUtility
