#include "OptionGroup.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include "QuillonButton.h"

namespace {

using Group = QList<QPointer<QuillonButton>>;

QHash<QObject*, Group>& Groups() {
    static QHash<QObject*, Group> groups;
    return groups;
}

// The container's group with buttons destroyed meanwhile removed; nullptr when empty.
Group* Live(QObject* container) {
    auto it = Groups().find(container);
    if (it == Groups().end()) return nullptr;
    it->removeIf([](const QPointer<QuillonButton>& b) { return b.isNull(); });
    if (it->isEmpty()) {
        Groups().erase(it);
        return nullptr;
    }
    return &*it;
}

}  // namespace

void OptionGroup::Join(QObject* container, QuillonButton* button) {
    if (!container || !button) return;
    if (!Groups().contains(container)) {
        QObject::connect(container, &QObject::destroyed,
                         [container] { Groups().remove(container); });
    }
    Group& group = Groups()[container];
    if (!group.contains(button)) group.append(button);
    if (button->Value()) ClearOthers(container, button);
}

void OptionGroup::Leave(QObject* container, QuillonButton* button) {
    Group* group = Live(container);
    if (!group) return;
    group->removeAll(button);
    if (group->isEmpty()) Groups().remove(container);
}

bool OptionGroup::AnyOn(QObject* container) {
    const Group* group = Live(container);
    if (!group) return false;
    for (const auto& b : *group) {
        if (b->Value()) return true;
    }
    return false;
}

void OptionGroup::ClearOthers(QObject* container, QuillonButton* button) {
    const Group* group = Live(container);
    if (!group) return;
    const Group members = *group;  // setValue may change the registry
    for (const auto& b : members) {
        if (b && b != button) b->setValue(false);
    }
}

QList<QuillonButton*> OptionGroup::Members(QObject* container) {
    QList<QuillonButton*> out;
    if (const Group* group = Live(container)) {
        for (const auto& b : *group) out.append(b.data());
    }
    return out;
}
