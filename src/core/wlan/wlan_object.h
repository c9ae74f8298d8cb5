// TWlanObject: the base of the objects an interface keeps about itself (connection, profiles, statistics).
// Each one queries the service in Update and then tells its owner through OnChange.
#pragma once

#include <functional>

namespace skimlet {

class TWLANInterface;

class TWlanObject {
 public:
  using ChangeHandler = std::function<void(TWlanObject&)>;

  TWlanObject(TWLANInterface* owner, ChangeHandler onChange) : Interface(owner), OnChange(std::move(onChange)) {}
  virtual ~TWlanObject() = default;
  TWlanObject(const TWlanObject&) = delete;
  TWlanObject& operator=(const TWlanObject&) = delete;

  TWLANInterface* Interface;  // the owning interface; not owned
  ChangeHandler OnChange;

  // Subclasses query the service first and then call this, which only calls OnChange.
  virtual void Update() {
    if (OnChange) OnChange(*this);
  }
};

}  // namespace skimlet
