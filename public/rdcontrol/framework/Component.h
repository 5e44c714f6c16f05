#pragma once
// TComponent: the ownership half of the control library's object model. An owner
// holds its components in creation order and frees them when it goes; a component
// can be found by Name. Components that keep a pointer to another component
// register for its removal (FreeNotification) and are told by Notification before
// it is freed, so no pointer outlives its object.
//
// Ownership and the parent/child tree of controls are separate: a control is owned
// (freed) by its form, and placed (painted, laid out) in its parent.
//
// UI thread only.
#include <memory>
#include <string>
#include <vector>

enum class TOperation { opInsert, opRemove };

class TComponent {
public:
    // Owned by owner when one is given (owner frees it); else the caller owns it.
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    long long Tag() const { return FTag; }
    void SetTag(long long tag) { FTag = tag; }

    // Owned components in creation order.
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Component(int index) const { return FComponents[static_cast<std::size_t>(index)]; }
    // The owned component of that name (case-insensitive), or nullptr.
    TComponent* FindComponent(const std::string& name) const;

    // component's Notification(this, opRemove) runs when this is freed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // True while the destructor chain runs (children are being freed).
    bool Destroying() const { return FDestroying; }

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Call first in the destructor of a class whose members other components may
    // still reach through notifications.
    void BeginDestroy();
    // Frees the owned components now (last created first). Containers call it
    // first in their destructor, while their own members are still whole.
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* FOwner = nullptr;
    std::string FName;
    long long FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    bool FDestroying = false;
};
