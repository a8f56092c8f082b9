#pragma once
// TComponent: the ownership tree. An owner destroys the components it owns
// when it is destroyed; a component destroyed earlier leaves its owner's
// list. Name and Tag are what handlers use to tell senders apart.

#include <functional>
#include <string>
#include <vector>

namespace gui {

class TComponent;
// The event of most notifications: the sender only.
using TNotifyEvent = std::function<void(TComponent* sender)>;

namespace detail {
struct QtAccess;
}

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<size_t>(index)); }
  // The owned component of that name, or nullptr.
  TComponent* FindComponent(const std::string& name) const;

 private:
  friend struct detail::QtAccess;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* FOwner = nullptr;
  std::string FName;
  int FTag = 0;
  std::vector<TComponent*> FComponents;
};

}  // namespace gui
