#pragma once

#include <QString>

namespace mUtility {

struct SoundInfoRecord;

// Both routines write `sDestFile` from the header values in SoundInfo followed
// by exactly SoundInfo.DataLength sample bytes of `sSourceFile`. The new file
// replaces the destination only once it is complete and flushed, so a failure
// leaves an existing destination as it was, and a destination equal to the
// source is safe. On success "<sDestFile> created successfully!" CR LF is
// appended to StatusText and ConvertedCount grows by one (it stops at 32767).
// A DataLength below 0 or beyond the source's bytes after its header is refused
// before anything is written. Every failure passes through ErrorIn with the
// routine's tag and both paths, and is thrown on as AppError.

// The game's 28-byte header; samples from SoundInfo.DataOffset (44 in the
// canonical layout) when SoundInfo.Extension is "WAV", else from offset 28.
void MakeSND(const QString& sSourceFile, const QString& sDestFile);

// A canonical 44-byte WAV header, filled into SoundInfo's WAV image first;
// samples from offset 28 (the source is a game file).
void MakeWAV(const QString& sSourceFile, const QString& sDestFile);

// The check both routines make before writing: throws AppError 5 for a
// negative `length`, 62 for one beyond the bytes of `sourcePath` after
// `offset`, and the open error when the file cannot be opened.
void CheckDataLength(const QString& sourcePath, qint32 length, qint64 offset);

// Fills the record's WAV image as the canonical 44-byte PCM header of its
// rate, bit depth, channels and data length.
void FillWavImage(SoundInfoRecord& info);

// ByteRate and BlockAlign for a shape: block align is channels times the bytes
// per sample (bits rounded up to whole bytes), byte rate is rate times that.
// Out-of-range products are clamped to the fields' widths.
qint16 BlockAlignFor(qint32 bitsPerSample, qint32 channels);
qint32 ByteRateFor(qint32 sampleRate, qint32 bitsPerSample, qint32 channels);

}  // namespace mUtility
