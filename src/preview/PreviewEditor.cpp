#include "PreviewEditor.h"

#include <QFileInfo>
#include <cstdlib>

#include "AppError.h"

namespace {

// Versions either side of the current one whose waveform summary stays in
// memory (about 0.8 MB each for ten minutes of stereo): undo and redo nearby
// cost nothing, and a long history does not hold a summary per edit.
constexpr int kSummariesKept = 32;

}  // namespace

void PreviewEditor::Load(const QString& path) {
    auto file = std::make_unique<EditFile>(path);
    if (!file->Refusal().isEmpty())
        throw AppError::Standard(ErrNo::InvalidProcedureCall,
                                 QStringLiteral("The sound cannot be edited: ") + file->Refusal());
    history_ = std::make_unique<EditHistory>(file->Sound());
    file_ = std::move(file);
    path_ = path;
    summaries_.assign(1, nullptr);
    playedIndex_ = 0;
}

const WaveSummary& PreviewEditor::Summary() {
    const int index = history_->Index();
    auto& summary = summaries_[size_t(index)];
    if (summary) return *summary;
    // Made from the version before when that one's is known, an edit costs only
    // the frames it changed.
    const auto& earlier = index > 0 ? summaries_[size_t(index - 1)] : nullptr;
    if (earlier)
        summary = std::make_shared<const WaveSummary>(Sound(), *earlier, history_->At(index - 1));
    else
        summary = std::make_shared<const WaveSummary>(Sound());
    return *summary;
}

qint64 PreviewEditor::Apply(const QString& name, const Operation& op) {
    EditOperations::Result r = op(Sound());
    history_->Push(name, std::move(r.sound));
    summaries_.resize(size_t(history_->Index()));
    summaries_.push_back(nullptr);
    if (playedIndex_ >= history_->Index()) playedIndex_ = -1;
    ForgetDistantSummaries();
    emit changed();
    return r.clipped;
}

bool PreviewEditor::Undo() {
    if (!history_ || !history_->Undo()) return false;
    ForgetDistantSummaries();
    emit changed();
    return true;
}

bool PreviewEditor::Redo() {
    if (!history_ || !history_->Redo()) return false;
    ForgetDistantSummaries();
    emit changed();
    return true;
}

void PreviewEditor::ForgetDistantSummaries() {
    const int index = history_->Index();
    for (int i = 0; i < int(summaries_.size()); ++i)
        if (std::abs(i - index) > kSummariesKept) summaries_[size_t(i)].reset();
}

void PreviewEditor::Save(const QString& dest) {
    file_->Save(Sound(), dest);
    if (QFileInfo(dest).absoluteFilePath() == QFileInfo(path_).absoluteFilePath()) {
        history_->MarkClean();
        emit changed();
    }
}

void PreviewEditor::SaveRange(qint64 first, qint64 last, const QString& dest) const {
    file_->Save(Sound().Slice(first, last - first + 1), dest);
}

bool PreviewEditor::WritePlayCopy(const QString& wavPath) {
    if (PlayCopyCurrent()) return false;
    file_->Save(Sound(), wavPath);
    playedIndex_ = history_->Index();
    return true;
}
