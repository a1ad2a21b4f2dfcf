#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "EditFile.h"
#include "EditHistory.h"
#include "EditOperations.h"
#include "WaveSummary.h"

// The preview's editing session, without widgets: the sound read from its
// file when first needed, the history of its edits, the min/max summary of
// the versions near the current one and the saved state.
class PreviewEditor : public QObject {
    Q_OBJECT
public:
    using Operation = std::function<EditOperations::Result(const EditedSound&)>;

    bool IsLoaded() const { return history_ != nullptr; }
    // Reads `path` for editing. Throws AppError when it cannot be read, and
    // AppError 5 with the reason when the file cannot be edited.
    void Load(const QString& path);

    const EditedSound& Sound() const { return history_->Current(); }
    const WaveSummary& Summary();
    int Rate() const { return file_->Info().SampleRate; }
    const QString& Path() const { return path_; }

    // Applies `op` as the edit named `name`; returns the samples it clipped.
    qint64 Apply(const QString& name, const Operation& op);
    bool Undo();
    bool Redo();
    QString UndoName() const { return history_ ? history_->UndoName() : QString(); }
    QString RedoName() const { return history_ ? history_->RedoName() : QString(); }

    // True when nothing was edited since the file was read or last saved.
    bool IsClean() const { return !history_ || history_->IsClean(); }
    // Writes the current version as `dest` (the file itself, or a new one
    // whose type follows its name). Saving over the file marks it clean.
    void Save(const QString& dest);
    // Writes frames first..last of the current version as a new file `dest`.
    void SaveRange(qint64 first, qint64 last, const QString& dest) const;
    // Writes the current version as the WAV the player plays, when it is not
    // that already; returns whether it wrote.
    bool WritePlayCopy(const QString& wavPath);
    bool PlayCopyCurrent() const { return playedIndex_ == history_->Index(); }

signals:
    void changed();

private:
    void ForgetDistantSummaries();

    std::unique_ptr<EditFile> file_;
    std::unique_ptr<EditHistory> history_;
    std::vector<std::shared_ptr<const WaveSummary>> summaries_;  // per version; null when not kept
    QString path_;
    int playedIndex_ = 0;  // the version the play copy holds (-1 none)
};
