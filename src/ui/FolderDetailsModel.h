#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QMap>
#include <QSortFilterProxyModel>
#include <optional>

#include "Inventory.h"
#include "LoudnessMeter.h"

// The rows of the Folder details window: one inventory row per sound file,
// shown as the main window shows values. Qt::UserRole gives each cell's value
// for sorting (numbers as numbers, unknown values first).
class FolderDetailsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Name,
        Type,
        Valid,
        EightBitFlag,
        InternalID,
        DataLength,
        SampleRate,
        BitDepth,
        Channels,
        Frames,
        Duration,
        Replaced,
        FirstLoudness,  // then the other loudness figures, in the order of Loudness::Column
        ColumnCount = FirstLoudness + 6
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Clear();
    // What the Replaced column shows per file name ("from NAME, DATE"); the
    // other files show nothing there.
    void SetReplaced(const QMap<QString, QString>& replaced);
    void Append(const QList<mUtility::InventoryRow>& rows);
    const mUtility::InventoryRow& Row(int row) const { return rows_[row]; }

    // The loudness of row `row`, once measured; nothing before, or when it
    // cannot be measured (a refused file).
    const std::optional<Loudness::Figures>& FiguresOf(int row) const { return figures_[row]; }
    void SetFigures(const QList<QPair<int, Loudness::Figures>>& figures);

    // m:ss.sss, e.g. 75.5 seconds as "1:15.500".
    static QString DurationText(double seconds);

    // Whether row `left` sorts before row `right` by `column`: the order of the
    // Qt::UserRole values, without building them, so that sorting a hundred
    // thousand rows holds the window up for a moment only.
    bool Less(int left, int right, int column) const;

private:
    QVariant Display(int row, int column) const;
    QVariant SortValue(int row, int column) const;
    // The sort value of a column holding a whole number, -1 where unknown.
    static qint64 NumberKey(const mUtility::InventoryRow& r, int column);

    QVariant LoudnessDisplay(int row, int column) const;
    double LoudnessSortValue(int row, int column) const;

    QList<mUtility::InventoryRow> rows_;
    QStringList names_;     // per row, the file name
    QStringList nameKeys_;  // ... and in lower case, its sort value
    QMap<QString, QString> replaced_;
    QList<std::optional<Loudness::Figures>> figures_;
};

// Filters by type ("" for all), by validity and by a part of the name.
class FolderDetailsFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    enum class Validity { Any, ValidOnly, InvalidOnly };

    using QSortFilterProxyModel::QSortFilterProxyModel;

    void SetType(const QString& type);
    void SetValidity(Validity validity);
    void SetNameSearch(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QString type_;
    Validity validity_ = Validity::Any;
    QString search_;
};
