// Base of every component: an owner, a Loaded step, and notification of removal.
#pragma once

#include <vector>

namespace tolvern {

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr) : owner_(owner) {}
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    virtual ~TComponent();

    TComponent* Owner() const { return owner_; }

    // Called once the stored properties are set (what a form definition would do).
    virtual void Loaded() {}
    // Told when a component this one asked about (FreeNotification) is going away.
    virtual void Notification(TComponent* component, TOperation operation);

    // Asks this component to notify `other` when it is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

private:
    TComponent* owner_;
    std::vector<TComponent*> freeNotifies_;
};

} // namespace tolvern
