// Base of every component: an owner, a Loaded step, and notification of removal.
#include "framework/component.h"

#include <algorithm>

namespace tolvern {

TComponent::~TComponent() {
    auto subscribers = std::move(freeNotifies_);
    for (TComponent* other : subscribers) {
        other->RemoveFreeNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->FreeNotification(this); // both ways, so neither keeps a dangling pointer
    }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    std::erase(freeNotifies_, other);
}

} // namespace tolvern
