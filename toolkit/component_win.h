// Owned components: destroyed with their owner, with an after-load step that runs once the
// owning window's properties are set and before its creation handler.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

class TComponent {
  public:
    explicit TComponent(TComponent* owner) : owner_(owner) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }

    // The window of a windowed component (a form creates its window when asked);
    // nullptr for components without one.
    virtual HWND WindowHandle() { return nullptr; }

    // Runs once the owner is loaded, before the owner's creation handler.
    virtual void AfterLoad() {}

    // Creates a component owned by this one. A constructor that throws leaves nothing.
    template <typename T, typename... Args> T& Own(Args&&... args) {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& result = *component;
        components_.push_back(std::move(component));
        return result;
    }

  protected:
    // The after-load step of every owned component, in the order they were created.
    void AfterLoadComponents() {
        for (auto& component : components_)
            component->AfterLoad();
    }
    // Destroys the owned components, last created first.
    void DestroyComponents() {
        while (!components_.empty())
            components_.pop_back();
    }

  private:
    TComponent* owner_;
    std::vector<std::unique_ptr<TComponent>> components_;
};
