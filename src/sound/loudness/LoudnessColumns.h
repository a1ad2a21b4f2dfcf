#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "LoudnessMeter.h"

// The loudness figures as columns of a table (zsnd info --csv and --json, the
// Folder details window) and as lines of the text panel.
namespace Loudness {

enum Column { kIntegrated, kRange, kSamplePeak, kTruePeak, kFullScale, kDcOffset, kColumnCount };

// The CSV and JSON name: "loudness_lufs", "loudness_range_lu", ...
QString ColumnName(int column);
// The heading a window shows: "Loudness (LUFS)", ...
QString ColumnTitle(int column);

// The figure of `column`; nothing where it is not measurable (integrated
// loudness and range of a silent or too short sound, the peaks of silence).
std::optional<double> Value(const Figures& figures, int column);

// The figure as a table shows it: dB to one decimal (two in CSV), the DC
// offset to six; "" where Value gives nothing.
QString CellText(const Figures& figures, int column, bool csv);

// The CSV header line or record line `line` (ending in CR LF) with the
// loudness columns added; a record without figures gets empty fields.
QString WithCsvHeader(const QString& line);
QString WithCsvFields(const QString& line, const Figures* figures);

// "-23.0 LUFS", "-inf LUFS (silent)", "not measurable (below the gate of
// -70 LUFS)" or "not measurable (shorter than one 400 ms block)".
QString IntegratedText(const Figures& figures);

// The short text a table cell or a panel shows for the integrated loudness:
// "-23.0 LUFS", "silent", "below the gate" or "< 400 ms".
QString IntegratedShortText(const Figures& figures);

// Why there is an integrated loudness or not, for JSON: "measured", "silent",
// "below_gate" or "too_short".
QString StatusName(const Figures& figures);

// The text panel's lines: "Loudness: -23.0 LUFS\nLoudness range: ..." each
// ending in a line break.
QString PanelLines(const Figures& figures);

// A level in dB to one decimal with its unit, "-inf" for none: "-1.0 dBTP".
QString DbText(double db, const char* unit);

}  // namespace Loudness
