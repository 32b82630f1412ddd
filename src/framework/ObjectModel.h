// The framework's object model: class references with names and ancestry,
// published properties readable and writable by name, enumeration and set
// names, and two-phase creation and destruction.
//
// A framework class names itself with NUV_CLASS at the top of its body and
// may publish properties with a static Publish(ClassBuilder<Self>&):
//
//   class TMyForm : public TForm {
//     NUV_CLASS(TMyForm, TForm)   // leaves the class body in public access
//     static void Publish(ClassBuilder<TMyForm>& b) {
//       b.Method("ButtonClick", &TMyForm::ButtonClick);
//     }
//     ...
//   };
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "framework/Events.h"
#include "framework/Win32.h"

namespace nuvskin {

class TObject;
class TClass;
class TComponent;
class TCollection;
class TCollectionItem;

// ---------------------------------------------------------------------------
// Sets of enumeration values (up to 64 elements).

template <class E>
class Set {
 public:
  constexpr Set() = default;
  constexpr Set(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr Set& Include(E e) { bits_ |= Bit(e); return *this; }
  constexpr Set& Exclude(E e) { bits_ &= ~Bit(e); return *this; }
  constexpr Set operator+(Set o) const { return FromBits(bits_ | o.bits_); }
  constexpr Set operator-(Set o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr Set operator*(Set o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool operator==(const Set&) const = default;
  constexpr std::uint64_t Bits() const { return bits_; }
  static constexpr Set FromBits(std::uint64_t bits) {
    Set s;
    s.bits_ = bits;
    return s;
  }

 private:
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
  std::uint64_t bits_ = 0;
};

// ---------------------------------------------------------------------------
// Names of enumeration values, for streaming and property access by name.

struct EnumInfo {
  std::string typeName;
  std::vector<std::string> names;  // value 0 first
  int IndexOf(std::string_view name) const;
};

template <class E>
struct EnumTraits;  // specialised by NUV_ENUM

// Declares the value names of an enumeration (values 0, 1, ... in order).
// Use at namespace nuvskin scope.
#define NUV_ENUM(E, ...)                                                 \
  template <>                                                            \
  struct EnumTraits<E> {                                                 \
    static const ::nuvskin::EnumInfo& Info() {                           \
      static const ::nuvskin::EnumInfo info{#E, {__VA_ARGS__}};          \
      return info;                                                       \
    }                                                                    \
  }

// ---------------------------------------------------------------------------
// Published properties.

enum class TypeKind { Integer, Enumeration, Set, Boolean, String, WString, Class, Method };

// Ordinal kinds (Integer, Enumeration, Set as a bit mask, Boolean) travel as
// int64; String is 8-bit (UTF-8), WString UTF-16; Class an object pointer;
// Method the name of the published method the event is bound to.
using PropValue = std::variant<std::int64_t, std::string, std::wstring, TObject*>;

struct PropInfo {
  std::string name;
  std::string typeName;
  TypeKind kind = TypeKind::Integer;
  const EnumInfo* enumInfo = nullptr;  // Enumeration: its values; Set: its elements
  const TClass* propClass = nullptr;   // Class: the declared class
  std::optional<std::int64_t> defaultOrd;  // ordinals equal to it are not streamed
  bool stored = true;                      // false: never streamed
  std::function<PropValue(const TObject&)> get;
  std::function<void(TObject&, const PropValue&)> set;  // empty: read-only
  std::function<TNotifyEvent*(TObject&)> event;           // Method kind: the event itself
  bool IsReadOnly() const { return !set; }
};

// A published method: a handler that streamed events can be bound to by name.
struct MethodInfo {
  std::string name;
  TNotifyEvent::MethodKey key;
  std::function<TNotifyEvent(TObject&)> bind;
};

// ---------------------------------------------------------------------------
// Class references.

class TClass {
 public:
  using ComponentFactory = TComponent* (*)(TComponent* owner);
  using ItemFactory = TCollectionItem* (*)(TCollection* collection);

  TClass(std::string name, const TClass* parent) : name_(std::move(name)), parent_(parent) {}

  const std::string& Name() const { return name_; }
  const TClass* Parent() const { return parent_; }
  bool InheritsFrom(const TClass& other) const;
  // The first ancestor (or this class) whose name is not `name`.
  const TClass* FirstAncestorNot(std::string_view name) const;

  // Published properties in streaming order: ancestors' first, each class's
  // in declaration order; a redeclared property keeps its ancestor's place.
  const std::vector<const PropInfo*>& Properties() const;
  const PropInfo* FindProperty(std::string_view name) const;  // case-insensitive
  const MethodInfo* FindMethod(std::string_view name) const;
  const MethodInfo* FindMethod(const TNotifyEvent::MethodKey& key) const;

  ComponentFactory componentFactory = nullptr;  // components created by class name
  ItemFactory itemFactory = nullptr;            // collection items

  // Filled while the class is built.
  std::vector<PropInfo> ownProperties;
  std::vector<MethodInfo> ownMethods;

 private:
  std::string name_;
  const TClass* parent_;
  mutable std::vector<const PropInfo*> all_;
  mutable bool allBuilt_ = false;
};

void RegisterClass(const TClass& cls);
const TClass* FindClass(std::string_view name);  // case-insensitive; nullptr if unknown
// Names registered by two different classes (a programming error).
const std::vector<std::string>& ClassNameConflicts();

// ---------------------------------------------------------------------------
// TObject

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClass& StaticClass();
  virtual const TClass& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().Name(); }
  bool InheritsFrom(const TClass& cls) const { return ClassType().InheritsFrom(cls); }
  template <class T>
  bool Is() const {
    return InheritsFrom(T::StaticClass());
  }

  // Second phase of construction and first phase of destruction: virtual
  // calls here reach the most derived class.
  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}

  // BeforeDestruction, then delete. Safe on nullptr. An object that is
  // pinned (a message of its own is being handled) is deleted once the last
  // pin goes; until then it is whole but destroyed in every other respect.
  static void Free(TObject* object);
  void Free() { Free(this); }
  // True from the start of Free until the object is deleted.
  bool FreePending() const { return freePending_; }

 private:
  friend class ObjectPin;
  int pins_ = 0;
  bool freePending_ = false;
};

// Keeps an object's memory alive for a scope, whoever frees it meanwhile:
// window and message dispatch pin the object whose handler runs, so that a
// handler may free its own object (or its owner) and the code that called it
// still returns through a whole object.
class ObjectPin {
 public:
  explicit ObjectPin(TObject* object) noexcept : object_(object) {
    if (object_) ++object_->pins_;
  }
  ~ObjectPin();
  ObjectPin(const ObjectPin&) = delete;
  ObjectPin& operator=(const ObjectPin&) = delete;
  // The object was freed while pinned: touch nothing but its memory.
  bool Freed() const { return object_ && object_->freePending_; }

 private:
  TObject* object_;
};

template <class T>
void FreeAndNil(T*& object) {
  T* o = object;
  object = nullptr;
  TObject::Free(o);
}

// An owning pointer that frees the framework's way (BeforeDestruction first),
// for objects that must go on every path.
struct ObjectFreer {
  void operator()(TObject* object) const { TObject::Free(object); }
};
template <class T>
using OwnedObject = std::unique_ptr<T, ObjectFreer>;

// Creates an object and runs its second construction phase. When that phase
// raises, the object is freed and the error propagates.
template <class T, class... Args>
T* Create(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    TObject::Free(object);
    throw;
  }
  return object;
}

// ---------------------------------------------------------------------------
// Property access by name (the framework's run-time type information).

const PropInfo* GetPropInfo(const TObject* object, std::string_view name);
bool IsPublishedProp(const TObject* object, std::string_view name);
std::int64_t GetOrdProp(const TObject* object, const PropInfo* prop);
void SetOrdProp(TObject* object, const PropInfo* prop, std::int64_t value);
std::string GetEnumProp(const TObject* object, const PropInfo* prop);
void SetEnumProp(TObject* object, const PropInfo* prop, std::string_view valueName);
std::string GetStrProp(const TObject* object, const PropInfo* prop);
void SetStrProp(TObject* object, const PropInfo* prop, const std::string& value);
std::wstring GetWideStrProp(const TObject* object, const PropInfo* prop);
void SetWideStrProp(TObject* object, const PropInfo* prop, const std::wstring& value);
TObject* GetObjectProp(const TObject* object, const PropInfo* prop);
void SetObjectProp(TObject* object, const PropInfo* prop, TObject* value);
// By name; raise EPropertyError when the property does not exist.
std::int64_t GetOrdProp(const TObject* object, std::string_view name);
void SetOrdProp(TObject* object, std::string_view name, std::int64_t value);

// ---------------------------------------------------------------------------
// Building a class's table. Getters and setters are member functions of the
// class or of an ancestor.

namespace detail {
template <class T>
std::int64_t ToOrd(T v) {
  if constexpr (requires { v.Bits(); })
    return static_cast<std::int64_t>(v.Bits());
  else
    return static_cast<std::int64_t>(v);
}
template <class T>
T FromOrd(std::int64_t v) {
  if constexpr (requires { T::FromBits(0); })
    return T::FromBits(static_cast<std::uint64_t>(v));
  else
    return static_cast<T>(v);
}
template <class Member>
struct ValueTypeOf;
template <class R, class C>
struct ValueTypeOf<R (C::*)() const> {
  using type = std::remove_cvref_t<R>;
};
}  // namespace detail

template <class C>
class ClassBuilder {
 public:
  explicit ClassBuilder(TClass& cls) : cls_(cls) {}

  template <class G, class S = std::nullptr_t>
  PropInfo& Integer(const char* name, G get, S set = nullptr) {
    return Ordinal(name, "Integer", TypeKind::Integer, nullptr, get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropInfo& Boolean(const char* name, G get, S set = nullptr) {
    return Ordinal(name, "Boolean", TypeKind::Boolean, nullptr, get, set);
  }
  // An enumeration declared with NUV_ENUM; typeName defaults to its own.
  template <class G, class S = std::nullptr_t>
  PropInfo& Enum(const char* name, G get, S set = nullptr, const char* typeName = nullptr) {
    using E = typename detail::ValueTypeOf<G>::type;
    const EnumInfo& info = EnumTraits<E>::Info();
    return Ordinal(name, typeName ? typeName : info.typeName.c_str(), TypeKind::Enumeration, &info, get, set);
  }
  // A Set<E> with E declared with NUV_ENUM.
  template <class G, class S = std::nullptr_t>
  PropInfo& SetOf(const char* name, const char* typeName, G get, S set = nullptr) {
    using SetT = typename detail::ValueTypeOf<G>::type;
    return Ordinal(name, typeName, TypeKind::Set, &EnumTraits<typename SetElement<SetT>::type>::Info(), get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropInfo& String(const char* name, G get, S set = nullptr) {
    return Text<std::string>(name, "string", TypeKind::String, get, set);
  }
  template <class G, class S = std::nullptr_t>
  PropInfo& WideString(const char* name, G get, S set = nullptr, const char* typeName = "WideString") {
    return Text<std::wstring>(name, typeName, TypeKind::WString, get, set);
  }
  // An object property: a sub-object (TFont, TStrings, a collection) or a
  // reference to a component.
  template <class G, class S = std::nullptr_t>
  PropInfo& Object(const char* name, G get, S set = nullptr) {
    using P = std::remove_pointer_t<typename detail::ValueTypeOf<G>::type>;
    PropInfo& p = Add(name, P::StaticClass().Name().c_str(), TypeKind::Class);
    p.propClass = &P::StaticClass();
    p.get = [get](const TObject& o) -> PropValue {
      return static_cast<TObject*>(const_cast<P*>((static_cast<const C&>(o).*get)()));
    };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.set = [set](TObject& o, const PropValue& v) {
        TObject* obj = std::get<TObject*>(v);
        P* typed = obj ? dynamic_cast<P*>(obj) : nullptr;
        if (obj && !typed) throw std::invalid_argument("object of the wrong class");
        (static_cast<C&>(o).*set)(typed);
      };
    }
    return p;
  }
  // A notify event, streamed by the name of the published method it calls.
  template <class Owner>
  PropInfo& Event(const char* name, TNotifyEvent Owner::*member) {
    PropInfo& p = Add(name, "TNotifyEvent", TypeKind::Method);
    p.event = [member](TObject& o) { return &(static_cast<C&>(o).*member); };
    return p;
  }
  // A published method that streamed events may name.
  template <class T>
  void Method(const char* name, void (T::*method)(TObject*)) {
    cls_.ownMethods.push_back(MethodInfo{name, MethodKeyOf(method), [method](TObject& o) {
                                           return TNotifyEvent::Bind(&static_cast<T&>(o), method);
                                         }});
  }

 private:
  template <class S>
  struct SetElement;
  template <class E>
  struct SetElement<nuvskin::Set<E>> {
    using type = E;
  };

  PropInfo& Add(const char* name, const char* typeName, TypeKind kind) {
    PropInfo p;
    p.name = name;
    p.typeName = typeName;
    p.kind = kind;
    cls_.ownProperties.push_back(std::move(p));
    return cls_.ownProperties.back();
  }

  template <class G, class S>
  PropInfo& Ordinal(const char* name, const char* typeName, TypeKind kind, const EnumInfo* info, G get, S set) {
    using V = typename detail::ValueTypeOf<G>::type;
    PropInfo& p = Add(name, typeName, kind);
    p.enumInfo = info;
    p.get = [get](const TObject& o) -> PropValue { return detail::ToOrd((static_cast<const C&>(o).*get)()); };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.set = [set](TObject& o, const PropValue& v) {
        (static_cast<C&>(o).*set)(detail::FromOrd<V>(std::get<std::int64_t>(v)));
      };
    }
    return p;
  }

  template <class T, class G, class S>
  PropInfo& Text(const char* name, const char* typeName, TypeKind kind, G get, S set) {
    PropInfo& p = Add(name, typeName, kind);
    p.get = [get](const TObject& o) -> PropValue { return T((static_cast<const C&>(o).*get)()); };
    if constexpr (!std::is_null_pointer_v<S>) {
      p.set = [set](TObject& o, const PropValue& v) { (static_cast<C&>(o).*set)(std::get<T>(v)); };
    }
    return p;
  }

  TClass& cls_;
};

namespace detail {

bool IsComponentClass(const TClass& cls);

template <class Self, class Parent>
TClass MakeClass(const char* name) {
  TClass cls(name, std::is_same_v<Self, Parent> ? nullptr : &Parent::StaticClass());
  if constexpr (requires(ClassBuilder<Self>& b) { Self::Publish(b); }) {
    ClassBuilder<Self> builder(cls);
    Self::Publish(builder);
  }
  if constexpr (!std::is_abstract_v<Self> && std::is_base_of_v<TComponent, Self> &&
                std::is_constructible_v<Self, TComponent*>) {
    cls.componentFactory = [](TComponent* owner) -> TComponent* { return Create<Self>(owner); };
  }
  if constexpr (!std::is_abstract_v<Self> && std::is_base_of_v<TCollectionItem, Self> &&
                std::is_constructible_v<Self, TCollection*>) {
    cls.itemFactory = [](TCollection* collection) -> TCollectionItem* { return Create<Self>(collection); };
  }
  return cls;
}

template <class Self>
struct ClassRegistrar {
  ClassRegistrar() { RegisterClass(Self::StaticClass()); }
};

}  // namespace detail

#define NUV_CLASS(Self, Parent)                                                                 \
 public:                                                                                        \
  using inherited = Parent;                                                                     \
  static const ::nuvskin::TClass& StaticClass() {                                               \
    /* Never destroyed: objects may be freed when the library ends. */                          \
    static const auto* cls = new ::nuvskin::TClass(::nuvskin::detail::MakeClass<Self, Parent>(#Self)); \
    return *cls;                                                                                \
  }                                                                                             \
  const ::nuvskin::TClass& ClassType() const override { return Self::StaticClass(); }           \
                                                                                                \
 private:                                                                                       \
  static inline const ::nuvskin::detail::ClassRegistrar<Self> nuvClassRegistrar_{};            \
                                                                                                \
 public:

}  // namespace nuvskin
