#pragma once

#include <QString>
#include <functional>

#include "ImportTarget.h"

// What an import did.
struct ImportReport {
    SourceFacts Source;
    ImportTarget Target;
    qint64 FramesIn = 0;   // frames decoded from the source
    qint64 FramesOut = 0;  // frames written
    qint64 Clipped = 0;    // samples beyond full scale, set to the extremes
    qint32 DataLength = 0;
    bool Dithered = false;
    bool Cancelled = false;  // stopped by the progress callback: nothing written
};

// Called after each block with the frames decoded so far and the source's
// frame count (an estimate for some formats, 0 when unknown); returning false
// cancels.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Decodes `sourcePath`, mixes its channels (ChannelMixer), converts its rate
// with libsoxr's very-high-quality recipe and requantises it (Quantizer) into
// `destPath` as `target` says: the game's 28-byte header or the canonical
// 44-byte WAV header, then the samples. Dither is used whenever the samples
// change on the way (another rate, channels mixed down, a source without an
// integer depth or deeper than the target); an import that changes nothing
// (same rate, exact channel mapping, an integer source no deeper than the
// target) copies the sample values unchanged.
//
// Memory stays bounded whatever the length: the source is processed in blocks.
// The destination is written through AtomicFile: a failure, a cancel or a
// signal leaves the old destination as it was and no temporary file, and the
// destination may be the source itself. Throws AppError on failure (321 for a
// source that is not audio, 6 for a result beyond the 2 GiB a header can
// describe, 5 for a target outside the game's values).
ImportReport Import(const QString& sourcePath, const QString& destPath, const ImportTarget& target,
                    const ImportProgress& progress = {});

// Checks a target's values; throws AppError 5 naming the first bad one.
void CheckTarget(const ImportTarget& target);
