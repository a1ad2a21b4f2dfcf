#pragma once

#include <QString>
#include <vector>

#include "EditedSound.h"

// Every version of a sound since it was opened, for undo and redo without a
// limit. Versions share their sample blocks, so each costs only the samples
// its edit made. A new edit after undoing drops the versions that were undone.
class EditHistory {
public:
    explicit EditHistory(EditedSound original);

    const EditedSound& Current() const { return versions_[size_t(index_)].sound; }
    // Version `index` (0 the original, up to the last one kept).
    const EditedSound& At(int index) const { return versions_[size_t(index)].sound; }
    // Which version is current: 0 for the original, one more per edit since.
    int Index() const { return index_; }

    // Makes `sound` the current version, reached by the edit named `name`.
    void Push(const QString& name, EditedSound sound);

    bool CanUndo() const { return index_ > 0; }
    bool CanRedo() const { return index_ + 1 < int(versions_.size()); }
    // The edit an undo (redo) would take back (do again); "" when there is none.
    QString UndoName() const;
    QString RedoName() const;
    // False when there is nothing to undo (redo).
    bool Undo();
    bool Redo();

    // True when the current version is the one last marked saved.
    bool IsClean() const { return index_ == clean_; }
    void MarkClean() { clean_ = index_; }

private:
    struct Version {
        QString name;
        EditedSound sound;
    };
    std::vector<Version> versions_;
    int index_ = 0;
    int clean_ = 0;  // -1 once the saved version has been dropped
};
