#include "framework/ObjectModel.h"

#include <limits>

#include <map>

#include "framework/SysUtils.h"

namespace nuvskin {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) { return SameTextAscii(a, b); }

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return AsciiUpperCase(a) < AsciiUpperCase(b);
  }
};

// Never destroyed: streaming may still look classes up when the library
// ends, after static destructors.
std::map<std::string, const TClass*, NoCaseLess>& Registry() {
  static auto* registry = new std::map<std::string, const TClass*, NoCaseLess>;
  return *registry;
}

}  // namespace

int EnumInfo::IndexOf(std::string_view name) const {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (EqualNoCase(names[i], name)) return static_cast<int>(i);
  return -1;
}

bool TClass::InheritsFrom(const TClass& other) const {
  for (const TClass* c = this; c; c = c->parent_)
    if (c == &other) return true;
  return false;
}

const TClass* TClass::FirstAncestorNot(std::string_view name) const {
  for (const TClass* c = this; c; c = c->parent_)
    if (c->name_ != name) return c;
  return nullptr;
}

const std::vector<const PropInfo*>& TClass::Properties() const {
  if (!allBuilt_) {
    if (parent_) all_ = parent_->Properties();
    for (const PropInfo& p : ownProperties) {
      bool replaced = false;
      for (auto& existing : all_)
        if (EqualNoCase(existing->name, p.name)) {
          existing = &p;
          replaced = true;
        }
      if (!replaced) all_.push_back(&p);
    }
    allBuilt_ = true;
  }
  return all_;
}

const PropInfo* TClass::FindProperty(std::string_view name) const {
  for (const PropInfo* p : Properties())
    if (EqualNoCase(p->name, name)) return p;
  return nullptr;
}

const MethodInfo* TClass::FindMethod(std::string_view name) const {
  for (const TClass* c = this; c; c = c->parent_)
    for (const MethodInfo& m : c->ownMethods)
      if (EqualNoCase(m.name, name)) return &m;
  return nullptr;
}

const MethodInfo* TClass::FindMethod(const TNotifyEvent::MethodKey& key) const {
  for (const TClass* c = this; c; c = c->parent_)
    for (const MethodInfo& m : c->ownMethods)
      if (m.key == key) return &m;
  return nullptr;
}

static std::vector<std::string>& Conflicts() {
  static auto* conflicts = new std::vector<std::string>;
  return *conflicts;
}

void RegisterClass(const TClass& cls) {
  auto [it, inserted] = Registry().emplace(cls.Name(), &cls);
  // Two classes under one name: streaming could create the wrong one.
  if (!inserted && it->second != &cls) Conflicts().push_back(cls.Name());
}

const std::vector<std::string>& ClassNameConflicts() { return Conflicts(); }

const TClass* FindClass(std::string_view name) {
  auto& r = Registry();
  auto it = r.find(std::string(name));
  return it == r.end() ? nullptr : it->second;
}

const TClass& TObject::StaticClass() {
  static const auto* cls = new TClass("TObject", nullptr);
  return *cls;
}

void TObject::Free(TObject* object) {
  if (!object || object->freePending_) return;
  object->freePending_ = true;
  // The last pin deletes: this one, unless a handler of the object is still
  // running, and never in the middle of BeforeDestruction (destroying a
  // window sends it messages, which pin and unpin the object).
  ObjectPin pin(object);
  try {
    object->BeforeDestruction();
  } catch (...) {
    // Half torn down: leaking it is the one safe thing left.
    object->freePending_ = false;
    throw;
  }
}

ObjectPin::~ObjectPin() {
  if (!object_ || --object_->pins_ != 0 || !object_->freePending_) return;
  // Destructors may still dispatch to the object (an icon freed by its form
  // tells the form): those pins must never reach zero and delete it again.
  object_->pins_ = std::numeric_limits<int>::min() / 2;
  delete object_;
}

namespace detail {
bool IsComponentClass(const TClass& cls) { return cls.componentFactory != nullptr; }
}  // namespace detail

// --- access by name ---------------------------------------------------------

namespace {

const PropInfo& Require(const TObject* object, std::string_view name) {
  const PropInfo* p = GetPropInfo(object, name);
  if (!p) throw EPropertyError("Property " + std::string(name) + " does not exist");
  return *p;
}

void RequireWritable(const PropInfo* prop) {
  if (!prop->set) throw EPropertyError("Property " + prop->name + " is read-only");
}

bool IsOrdinal(TypeKind k) {
  return k == TypeKind::Integer || k == TypeKind::Enumeration || k == TypeKind::Set || k == TypeKind::Boolean;
}

void RequireKind(const PropInfo* prop, bool ok) {
  if (!ok) throw EPropertyError("Property " + prop->name + " has another type");
}

}  // namespace

const PropInfo* GetPropInfo(const TObject* object, std::string_view name) {
  return object ? object->ClassType().FindProperty(name) : nullptr;
}

bool IsPublishedProp(const TObject* object, std::string_view name) { return GetPropInfo(object, name) != nullptr; }

std::int64_t GetOrdProp(const TObject* object, const PropInfo* prop) {
  RequireKind(prop, IsOrdinal(prop->kind));
  return std::get<std::int64_t>(prop->get(*object));
}

void SetOrdProp(TObject* object, const PropInfo* prop, std::int64_t value) {
  RequireKind(prop, IsOrdinal(prop->kind));
  RequireWritable(prop);
  prop->set(*object, value);
}

std::string GetEnumProp(const TObject* object, const PropInfo* prop) {
  RequireKind(prop, prop->kind == TypeKind::Enumeration || prop->kind == TypeKind::Boolean);
  const std::int64_t v = GetOrdProp(object, prop);
  if (prop->kind == TypeKind::Boolean) return v ? "True" : "False";
  if (v < 0 || v >= static_cast<std::int64_t>(prop->enumInfo->names.size())) return IntToStr(v);
  return prop->enumInfo->names[static_cast<std::size_t>(v)];
}

void SetEnumProp(TObject* object, const PropInfo* prop, std::string_view valueName) {
  RequireKind(prop, prop->kind == TypeKind::Enumeration || prop->kind == TypeKind::Boolean);
  int v = -1;
  if (prop->kind == TypeKind::Boolean)
    v = SameTextAscii(valueName, "True") ? 1 : SameTextAscii(valueName, "False") ? 0 : -1;
  else
    v = prop->enumInfo->IndexOf(valueName);
  if (v < 0) throw EPropertyError("Invalid property value " + std::string(valueName));
  SetOrdProp(object, prop, v);
}

std::string GetStrProp(const TObject* object, const PropInfo* prop) {
  if (prop->kind == TypeKind::WString) return WideToUtf8(std::get<std::wstring>(prop->get(*object)));
  RequireKind(prop, prop->kind == TypeKind::String);
  return std::get<std::string>(prop->get(*object));
}

void SetStrProp(TObject* object, const PropInfo* prop, const std::string& value) {
  RequireWritable(prop);
  if (prop->kind == TypeKind::WString) return prop->set(*object, Utf8ToWide(value));
  RequireKind(prop, prop->kind == TypeKind::String);
  prop->set(*object, value);
}

std::wstring GetWideStrProp(const TObject* object, const PropInfo* prop) {
  if (prop->kind == TypeKind::String) return Utf8ToWide(std::get<std::string>(prop->get(*object)));
  RequireKind(prop, prop->kind == TypeKind::WString);
  return std::get<std::wstring>(prop->get(*object));
}

void SetWideStrProp(TObject* object, const PropInfo* prop, const std::wstring& value) {
  RequireWritable(prop);
  if (prop->kind == TypeKind::String) return prop->set(*object, WideToUtf8(value));
  RequireKind(prop, prop->kind == TypeKind::WString);
  prop->set(*object, value);
}

TObject* GetObjectProp(const TObject* object, const PropInfo* prop) {
  RequireKind(prop, prop->kind == TypeKind::Class);
  return std::get<TObject*>(prop->get(*object));
}

void SetObjectProp(TObject* object, const PropInfo* prop, TObject* value) {
  RequireKind(prop, prop->kind == TypeKind::Class);
  RequireWritable(prop);
  if (value && prop->propClass && !value->InheritsFrom(*prop->propClass))
    throw EPropertyError("Invalid property value for " + prop->name);
  prop->set(*object, value);
}

std::int64_t GetOrdProp(const TObject* object, std::string_view name) {
  return GetOrdProp(object, &Require(object, name));
}

void SetOrdProp(TObject* object, std::string_view name, std::int64_t value) {
  SetOrdProp(object, &Require(object, name), value);
}

}  // namespace nuvskin
