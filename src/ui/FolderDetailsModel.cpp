#include "FolderDetailsModel.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "LoudnessColumns.h"
#include "cFileSystem.h"

using mUtility::InventoryRow;

namespace {

QString FileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FlagText(qint32 flag) {
    if (flag == 2) return QStringLiteral("True");
    if (flag == 0) return QStringLiteral("False");
    return QString::number(flag);
}

// Digits in groups of three, with the locale's separator, even where the
// locale leaves them out by default.
QString GroupedNumber(qint64 value) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

}  // namespace

int FolderDetailsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int FolderDetailsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString FolderDetailsModel::DurationText(double seconds) {
    const qint64 ms = std::llround(seconds * 1000);
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QVariant FolderDetailsModel::Display(int row, int column) const {
    const InventoryRow& r = rows_[row];
    const bool header = r.HasHeader;
    switch (column) {
        case Name:
            return names_[row];
        case Type:
            return r.Type;
        case Valid:
            return r.Valid ? QStringLiteral("Valid") : QStringLiteral("Invalid");
        case EightBitFlag:
            if (!header) return {};
            return r.IsGameType() ? FlagText(r.EightBitFlag) : QStringLiteral("N/A");
        case InternalID:
            if (!header) return {};
            return r.IsGameType() ? QString::number(r.InternalID) : QStringLiteral("N/A");
        case DataLength:
            return header ? cFileSystem().FormatSize(r.DataLength) : QString();
        case SampleRate:
            return header ? QStringLiteral("%1 Hz").arg(r.SampleRate) : QString();
        case BitDepth:
            return header ? QStringLiteral("%1-bit").arg(r.BitsPerSample) : QString();
        case Channels:
            if (!header) return {};
            return r.Channels == 1   ? QStringLiteral("Mono")
                   : r.Channels == 2 ? QStringLiteral("Stereo")
                                     : QString::number(r.Channels);
        case Frames:
            return r.Frames >= 0 ? GroupedNumber(r.Frames) : QString();
        case Duration:
            return r.Seconds >= 0 ? DurationText(r.Seconds) : QString();
        case Replaced:
            return replaced_.value(names_[row]);
    }
    return {};
}

qint64 FolderDetailsModel::NumberKey(const InventoryRow& r, int column) {
    const bool header = r.HasHeader;
    const auto known = [](bool has, qint64 v) { return has ? v : qint64(-1); };
    switch (column) {
        case Valid:
            return r.Valid ? 1 : 0;
        case EightBitFlag:
            return known(header && r.IsGameType(), r.EightBitFlag);
        case InternalID:
            return known(header && r.IsGameType(), r.InternalID);
        case DataLength:
            return known(header, r.DataLength);
        case SampleRate:
            return known(header, r.SampleRate);
        case BitDepth:
            return known(header, r.BitsPerSample);
        case Channels:
            return known(header, r.Channels);
        case Frames:
            return r.Frames;
    }
    return -1;
}

QVariant FolderDetailsModel::SortValue(int row, int column) const {
    switch (column) {
        case Name:
            return nameKeys_[row];
        case Type:
            return rows_[row].Type;
        case Duration:
            return rows_[row].Seconds;
        case Replaced:
            return replaced_.value(names_[row]);
    }
    if (column >= FirstLoudness) return LoudnessSortValue(row, column);
    return column == Valid ? QVariant(int(NumberKey(rows_[row], column)))
                           : QVariant(NumberKey(rows_[row], column));
}

bool FolderDetailsModel::Less(int left, int right, int column) const {
    switch (column) {
        case Name:
            return nameKeys_[left] < nameKeys_[right];
        case Type:
            return rows_[left].Type < rows_[right].Type;
        case Duration:
            return rows_[left].Seconds < rows_[right].Seconds;
        case Replaced:
            return replaced_.value(names_[left]) < replaced_.value(names_[right]);
    }
    if (column >= FirstLoudness)
        return LoudnessSortValue(left, column) < LoudnessSortValue(right, column);
    return NumberKey(rows_[left], column) < NumberKey(rows_[right], column);
}

QVariant FolderDetailsModel::LoudnessDisplay(int row, int column) const {
    const std::optional<Loudness::Figures>& f = figures_[row];
    if (!f) return {};
    const int c = column - FirstLoudness;
    if (c <= ::Loudness::kRange && !f->Measured()) return ::Loudness::IntegratedShortText(*f);
    const QString text = ::Loudness::CellText(*f, c, false);
    return text.isEmpty() ? QStringLiteral("-inf") : text;
}

// Not measured and not measurable sort first, as the quietest.
double FolderDetailsModel::LoudnessSortValue(int row, int column) const {
    const std::optional<Loudness::Figures>& f = figures_[row];
    const std::optional<double> v =
        f ? ::Loudness::Value(*f, column - FirstLoudness) : std::nullopt;
    return v ? *v : -1e300;
}

QVariant FolderDetailsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const InventoryRow& r = rows_[index.row()];
    const bool loudness = index.column() >= FirstLoudness;
    switch (role) {
        case Qt::DisplayRole:
            return loudness ? LoudnessDisplay(index.row(), index.column())
                            : Display(index.row(), index.column());
        case Qt::UserRole:
            return SortValue(index.row(), index.column());
        case Qt::ToolTipRole:
            return r.Valid ? QVariant() : QVariant(r.Refusal);
        case Qt::DecorationRole:
            // An invalid file is marked where the eye starts: at its name.
            if (r.Valid || index.column() != Name) return {};
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        case Qt::TextAlignmentRole:
            return index.column() >= EightBitFlag && index.column() != Replaced
                       ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                       : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant FolderDetailsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section >= FirstLoudness && section < ColumnCount)
        return ::Loudness::ColumnTitle(section - FirstLoudness);
    static const char* const titles[FirstLoudness] = {
        "Name",        "Type",      "Valid",    "8-bit Flag", "Internal ID #", "Data length",
        "Sample rate", "Bit depth", "Channels", "Frames",     "Duration",      "Replaced"};
    return section >= 0 && section < FirstLoudness ? QString::fromLatin1(titles[section])
                                                   : QVariant();
}

void FolderDetailsModel::Clear() {
    beginResetModel();
    rows_.clear();
    names_.clear();
    nameKeys_.clear();
    figures_.clear();
    endResetModel();
}

void FolderDetailsModel::SetReplaced(const QMap<QString, QString>& replaced) {
    replaced_ = replaced;
    if (!rows_.isEmpty())
        emit dataChanged(index(0, Replaced), index(int(rows_.size()) - 1, Replaced));
}

void FolderDetailsModel::Append(const QList<InventoryRow>& rows) {
    if (rows.isEmpty()) return;
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + rows.size() - 1));
    rows_ += rows;
    for (const InventoryRow& r : rows) {
        names_ << FileNameOf(r.Path);
        nameKeys_ << names_.last().toLower();
    }
    figures_.resize(rows_.size());
    endInsertRows();
}

void FolderDetailsModel::SetFigures(const QList<QPair<int, Loudness::Figures>>& figures) {
    if (figures.isEmpty()) return;
    int first = int(rows_.size()), last = -1;
    for (const auto& [row, f] : figures) {
        if (row < 0 || row >= figures_.size()) continue;
        figures_[row] = f;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= first) emit dataChanged(index(first, FirstLoudness), index(last, ColumnCount - 1));
}

void FolderDetailsFilter::SetType(const QString& type) {
    type_ = type;
    invalidateFilter();
}

void FolderDetailsFilter::SetValidity(Validity validity) {
    validity_ = validity;
    invalidateFilter();
}

void FolderDetailsFilter::SetNameSearch(const QString& text) {
    search_ = text;
    invalidateFilter();
}

bool FolderDetailsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return static_cast<const FolderDetailsModel*>(sourceModel())
        ->Less(left.row(), right.row(), left.column());
}

bool FolderDetailsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* model = static_cast<const FolderDetailsModel*>(sourceModel());
    const InventoryRow& r = model->Row(sourceRow);
    if (!type_.isEmpty() && r.Type != type_) return false;
    if (validity_ == Validity::ValidOnly && !r.Valid) return false;
    if (validity_ == Validity::InvalidOnly && r.Valid) return false;
    return search_.isEmpty() || r.Path.mid(r.Path.lastIndexOf(QLatin1Char('/')) + 1)
                                    .contains(search_, Qt::CaseInsensitive);
}
