#pragma once

#include <QList>
#include <QString>

class QWidget;

// One description/pattern pair of a save dialog's filter, e.g.
// {"SND Files (*.SND)", "*.SND"}; several patterns are separated by ";".
struct FilterPair {
    QString Description;
    QString Pattern;

    bool operator==(const FilterPair&) const = default;
};

// Everything a save-file chooser is asked to honour.
struct SaveRequest {
    QString Title;
    QWidget* Owner = nullptr;       // no owner when null
    QWidget* CentreOver = nullptr;  // the window to centre over, or null
    QString InitDir;                // the folder the chooser opens in
    QList<FilterPair> Filters;
    int FilterIndex = 1;           // 1-based pair selected initially
    QString DefaultExt;            // appended (with a dot) to a name without extension
    QString FileName;              // the proposed name
    bool OverwritePrompt = false;  // ask before replacing an existing file
};
