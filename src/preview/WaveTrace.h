#pragma once

#include <QPolygonF>
#include <QString>
#include <array>

// The points of the waveform polylines, read from a WAV file's sample data.
// With no more frames than twips of width, every frame is a point at
// x = floor(i * w / n); otherwise column x = i (1, 2, ...) shows frame
// floor(i * n / w), read with one positioned read per column, so neither time
// nor memory grows with the sound's length. Columns at or past the view's
// right edge are not read.
class WaveTrace {
public:
    struct Shape {
        qint64 rawDataOffset = 45;  // 1-based file position of the first sample byte
        qint32 numberOfSamples = 0;
        int channels = 1;
        int bits = 16;
        double width = 0;   // client width of the view, twips
        double height = 0;  // client height of the view, twips
    };

    // Reads the points of each channel (index 1 is empty for one channel).
    // Throws AppError when the file cannot be opened or read.
    static std::array<QPolygonF, 2> Read(const QString& path, const Shape& shape);
};
