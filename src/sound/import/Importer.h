#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "ImportTarget.h"
#include "LoudnessMeter.h"

// Loudness matching: the result is brought to TargetLufs by one gain applied
// before quantising, but its true peak never goes above CeilingDbtp.
struct LoudnessGoal {
    double TargetLufs = -23.0;
    double CeilingDbtp = -1.0;
};
constexpr double kMinTargetLufs = -70.0, kMaxTargetLufs = 0.0;
constexpr double kMinCeilingDbtp = -30.0, kMaxCeilingDbtp = 0.0;

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
    // With a loudness goal: the gain applied, whether the ceiling held it
    // below the target, and the figures of the samples written.
    double GainDb = 0;
    bool Limited = false;
    Loudness::Figures Result;
    // The true peak of what was written under a reconstruction finer than the
    // meter's (16x), the level the ceiling is held against.
    double FinePeakDbtp = Loudness::Figures::kNone;
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
//
// With a `goal`, the source is first measured as it will be written (mixed
// and resampled, before quantising), then written with the gain that reaches
// the goal; the result's own figures are in the report. A source without
// integrated loudness (silence, shorter than one 400 ms block) throws
// AppError 5 before anything is written.
ImportReport Import(const QString& sourcePath, const QString& destPath, const ImportTarget& target,
                    const ImportProgress& progress = {},
                    const std::optional<LoudnessGoal>& goal = std::nullopt);

// Checks a target's values; throws AppError 5 naming the first bad one.
void CheckTarget(const ImportTarget& target);

// Checks a goal's target and ceiling; throws AppError 5 naming the bad one.
void CheckGoal(const LoudnessGoal& goal);

// What matching did, on one line: "Loudness: -14.2 LUFS: limited by the
// -1.0 dBTP ceiling (target -10.0 LUFS, gain +6.5 dB), true peak -1.0 dBTP".
QString LoudnessSummary(const ImportReport& report, const LoudnessGoal& goal);

// How far the loudness written lies from the goal's target (LU, + louder)
// when more than kTargetToleranceLu and not held back by the ceiling: at 8
// bits, quantising noise alone can be louder than a low target. -inf when the
// result has no loudness at all; nothing when the target is met.
constexpr double kTargetToleranceLu = 0.5;
std::optional<double> MissedBy(const ImportReport& report, const LoudnessGoal& goal);

// The integrated loudness (LUFS) of the game file or WAV at `path`, the
// target of matching "like" a sound. Throws AppError when it cannot be read
// or is refused, and AppError 5 when it has no integrated loudness.
double LikeLoudness(const QString& path);
