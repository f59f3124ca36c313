#pragma once
// A reference to an object of the object model, as a script variable holds one: it may be
// Nothing, and using a member through Nothing raises run-time error 91 instead of crashing.
#include <memory>
#include <type_traits>

#include "platform/core/RuntimeError.h"

namespace platform::office {

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  Ref(std::shared_ptr<T> object) : object_(std::move(object)) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(const Ref<U>& other) : object_(other.shared()) {}
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  Ref(std::shared_ptr<U> object) : object_(std::move(object)) {}

  T* operator->() const { return &**this; }
  T& operator*() const {
    if (!object_) Raise(err::ObjectNotSet);
    return *object_;
  }
  explicit operator bool() const { return object_ != nullptr; }
  bool IsNothing() const { return object_ == nullptr; }
  // "Set x = Nothing".
  void Reset() { object_.reset(); }

  const std::shared_ptr<T>& shared() const { return object_; }
  T* get() const { return object_.get(); }

  // Identity, as the "Is" operator compares two references.
  template <class U>
  bool Is(const Ref<U>& other) const {
    return static_cast<const void*>(get()) == static_cast<const void*>(other.get());
  }
  friend bool operator==(const Ref& a, std::nullptr_t) { return a.object_ == nullptr; }

 private:
  std::shared_ptr<T> object_;
};

// The object behind `ref` as a more specific interface; Nothing when it is not one.
template <class T, class U>
Ref<T> RefCast(const Ref<U>& ref) {
  return Ref<T>(std::dynamic_pointer_cast<T>(ref.shared()));
}

}  // namespace platform::office
