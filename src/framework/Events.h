// Method pointers of the framework: a callable plus, when it was bound to a
// method of an object, that object and method, so that handlers can be
// compared ("is this still my handler?") and streamed by name.
#pragma once

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace nuvskin {

class TObject;

template <class Sig>
class Event;

template <class R, class... A>
class Event<R(A...)> {
 public:
  using MethodKey = std::array<unsigned char, 2 * sizeof(void*)>;

  Event() = default;
  Event(std::nullptr_t) {}
  template <class F,
            class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, Event> && std::is_invocable_r_v<R, F&, A...>>>
  Event(F f) : fn_(std::move(f)) {}

  // A handler that calls `method` on `object`.
  template <class T, class M>
  static Event Bind(T* object, M method) {
    static_assert(std::is_member_function_pointer_v<M>);
    static_assert(sizeof(M) <= sizeof(MethodKey));
    Event e;
    e.fn_ = [object, method](A... a) -> R { return (object->*method)(std::forward<A>(a)...); };
    e.object_ = static_cast<const void*>(object);
    std::memcpy(e.key_.data(), &method, sizeof(M));
    e.bound_ = true;
    return e;
  }

  // The same with shared ownership: the handler keeps `object` alive.
  template <class T, class M>
  static Event Bind(std::shared_ptr<T> object, M method) {
    Event e = Bind(object.get(), method);
    e.fn_ = [object, method](A... a) -> R { return (object.get()->*method)(std::forward<A>(a)...); };
    return e;
  }

  // True when the handler calls `method` on `object`.
  template <class M>
  bool IsBoundTo(const void* object, M method) const {
    static_assert(sizeof(M) <= sizeof(MethodKey));
    MethodKey key{};
    std::memcpy(key.data(), &method, sizeof(M));
    return fn_ && bound_ && object_ == object && key_ == key;
  }

  explicit operator bool() const { return static_cast<bool>(fn_); }
  R operator()(A... a) const { return fn_(std::forward<A>(a)...); }

  // Equal when both are empty or both call the same method of the same
  // object. Handlers that are plain functions or lambdas never compare equal.
  bool operator==(const Event& other) const {
    if (!fn_ || !other.fn_) return !fn_ && !other.fn_;
    return bound_ && other.bound_ && object_ == other.object_ && key_ == other.key_;
  }

  bool IsBound() const { return bound_; }
  const void* Object() const { return object_; }
  const MethodKey& Method() const { return key_; }

 private:
  std::function<R(A...)> fn_;
  const void* object_ = nullptr;
  MethodKey key_{};
  bool bound_ = false;
};

// Makes a member-function key comparable with Event::Method().
template <class M>
auto MethodKeyOf(M method) {
  typename Event<void()>::MethodKey key{};
  static_assert(sizeof(M) <= sizeof(key));
  std::memcpy(key.data(), &method, sizeof(M));
  return key;
}

using TNotifyEvent = Event<void(TObject* Sender)>;

}  // namespace nuvskin
