#pragma once

#include <QString>

#include "EditedSound.h"
#include "FrameCut.h"

// A sound file opened for editing: its header values and its samples in
// memory. Saving writes the edited samples with the same header values (only
// the data length changes), replacing the destination only once complete.
class EditFile {
public:
    // Inspects and reads `path`. Throws AppError when it cannot be opened or
    // read; a file that cannot be edited gives a Refusal() instead.
    explicit EditFile(const QString& path);

    // "" when the file can be edited, else why not (on one line).
    const QString& Refusal() const { return refusal_; }
    // True for a valid sound of no frames, which no edit can start from.
    bool HasNoFrames() const { return hasNoFrames_; }
    const mUtility::SoundInfoRecord& Info() const { return source_.Info(); }
    // The samples as read (empty when refused).
    const EditedSound& Sound() const { return sound_; }
    // The samples as read, handed over: the file keeps none of them.
    EditedSound TakeSound() { return std::move(sound_); }
    // "WAV", "SND" or "WSD": the type `dest` is written in (a game type keeps
    // the source's flag and ID; a WAV source written as a game file gets the
    // flag of its bit depth and ID 0).
    QString DestType(const QString& dest) const { return source_.DestType(dest); }

    // Writes `sound` as `dest` (it may be the file this was read from).
    // Throws AppError on failure; an existing `dest` is then left whole.
    void Save(const EditedSound& sound, const QString& dest) const;

private:
    mUtility::FrameCut source_;
    QString refusal_;
    bool hasNoFrames_ = false;
    EditedSound sound_;
    unsigned sourceMode_ = 0;  // a new file gets no permission the source lacks
};
