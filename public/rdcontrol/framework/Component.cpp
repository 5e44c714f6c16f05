#include "public/rdcontrol/framework/Component.h"

#include <algorithm>

#include "public/rdcontrol/base/TextCase.h"

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
    if (FOwner) FOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    BeginDestroy();
    // Tell everyone who holds a pointer to this.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        std::erase(other->FFreeNotifies, this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeginDestroy() { FDestroying = true; }

void TComponent::DestroyComponents() {
    // Last created first, so later components never see earlier ones gone.
    while (!FComponents.empty()) {
        TComponent* child = FComponents.back();
        FComponents.pop_back();
        child->FOwner = nullptr;
        delete child;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameTextNoCase(c->FName, name)) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(component);
        component->FFreeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    std::erase(FFreeNotifies, component);
    std::erase(component->FFreeNotifies, this);
}

void TComponent::Notification(TComponent* /*component*/, TOperation /*operation*/) {}

void TComponent::InsertComponent(TComponent* component) { FComponents.push_back(component); }

void TComponent::RemoveComponent(TComponent* component) {
    std::erase(FComponents, component);
    for (TComponent* c : FComponents) c->Notification(component, TOperation::opRemove);
}
