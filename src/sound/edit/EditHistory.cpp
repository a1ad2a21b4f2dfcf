#include "EditHistory.h"

EditHistory::EditHistory(EditedSound original) {
    versions_.push_back({QString(), std::move(original)});
}

void EditHistory::Push(const QString& name, EditedSound sound) {
    versions_.resize(size_t(index_ + 1));
    if (clean_ > index_) clean_ = -1;
    versions_.push_back({name, std::move(sound)});
    ++index_;
}

QString EditHistory::UndoName() const {
    return CanUndo() ? versions_[size_t(index_)].name : QString();
}

QString EditHistory::RedoName() const {
    return CanRedo() ? versions_[size_t(index_ + 1)].name : QString();
}

bool EditHistory::Undo() {
    if (!CanUndo()) return false;
    --index_;
    return true;
}

bool EditHistory::Redo() {
    if (!CanRedo()) return false;
    ++index_;
    return true;
}
