#include "framework/Classes.h"

#include <algorithm>
#include <utility>

#include "framework/Streams.h"

namespace nuvskin {

// --- TPersistent ------------------------------------------------------------

void TPersistent::Assign(TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + (dest ? dest->ClassName() : "nil"));
}

void TPersistent::DefineProperties(TFiler&) {}

// --- TComponent -------------------------------------------------------------

namespace {

bool IsValidIdent(const std::string& s) {
  if (s.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0])) return false;
  return std::all_of(s.begin(), s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

}  // namespace

void TComponent::Publish(ClassBuilder<TComponent>& b) {
  b.String("Name", &TComponent::Name, &TComponent::SetName).stored = false;  // in the header
  b.Integer("Tag", &TComponent::Tag, &TComponent::SetTag).defaultOrd = 0;
}

thread_local bool TComponent::nextIsStreamed_ = false;

TComponent::TComponent(TComponent* owner) : streamed_(std::exchange(nextIsStreamed_, false)) {
  if (owner) {
    owner->Insert(this);
    if (owner->IsDesigning()) SetDesigning(true);
  }
}

void TComponent::AfterConstruction() {
  // Told only now, so that receivers see the finished object.
  if (owner_ && !insertNotified_) {
    insertNotified_ = true;
    owner_->Notification(this, opInsert);
  }
  constructed_ = true;
  if (!streamed_) {
    if (TReader* reader = TReader::active_; reader && owner_ && owner_->IsLoading()) {
      SetLoading(true);
      reader->loaded_.push_back(this);
    } else if (owner_ && !owner_->constructed_) {
      // Made in the owner's constructor: Loaded once the owner is whole.
      owner_->pendingLoaded_.push_back(this);
    } else {
      Loaded();
    }
  }
  // Those made in this one's constructor (a handler may free any of them).
  while (!pendingLoaded_.empty()) {
    TComponent* c = pendingLoaded_.front();
    pendingLoaded_.erase(pendingLoaded_.begin());
    c->Loaded();
  }
}

void TComponent::BeginDestruction() {
  if (destructionBegun_) return;
  destructionBegun_ = true;
  Destroying();
  // Nobody may call its Loaded any more.
  if (owner_) std::erase(owner_->pendingLoaded_, this);
  if (TReader* reader = TReader::active_) std::erase(reader->loaded_, this);
  NotifyLinks();
  // While the object is still whole: tell those who asked, and the owner.
  while (!freeNotifies_.empty()) freeNotifies_.back()->Notification(this, opRemove);
  if (owner_ && !owner_->IsDestroying()) owner_->Notification(this, opRemove);
}

void TComponent::BeforeDestruction() {
  BeginDestruction();
  // Owned components go while this one is whole, so that they may still
  // use it (give back a window procedure, for example).
  DestroyComponents();
}

TComponent::~TComponent() {
  // Reached without Free (a plain delete): do what BeforeDestruction would.
  BeginDestruction();
  DestroyComponents();
  NotifyLinks();  // links made while it was going
  if (owner_) owner_->Remove(this);
}

void TComponent::NotifyLinks() {
  // Taken out before the call: the callback may reset or destroy any link.
  while (!links_.empty()) {
    TFreeNotifyLink* link = links_.back();
    links_.pop_back();
    link->component_ = nullptr;
    const TFreeNotifyLink::Callback callback = std::move(link->callback_);
    if (callback) callback(this);
  }
}

void TFreeNotifyLink::Watch(TComponent* component, Callback callback) {
  Reset();
  if (!component) return;
  component_ = component;
  callback_ = std::move(callback);
  component->links_.push_back(this);
}

void TFreeNotifyLink::Reset() {
  if (!component_) return;
  auto& links = component_->links_;
  links.erase(std::remove(links.begin(), links.end(), this), links.end());
  component_ = nullptr;
  callback_ = nullptr;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameTextAscii(c->name_, name)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
  if (owner_ && !name.empty()) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this) throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it != components_.end()) components_.erase(it);
  component->owner_ = nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_ + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  component->insertNotified_ = true;
  if (IsDesigning()) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* instance = components_.back();
    if (instance->state_.Contains(csFreeNotification))
      RemoveComponent(instance);
    else
      Remove(instance);
    TObject::Free(instance);
  }
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Owned components hear about it too, last first; the list may shrink.
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    if (i >= ComponentCount()) i = ComponentCount() - 1;
    if (i < 0) break;
    components_[static_cast<std::size_t>(i)]->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (!owner_ || component->owner_ != owner_) {
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
      freeNotifies_.push_back(component);
      component->FreeNotification(this);
    }
  }
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  component->RemoveFreeNotification(this);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    state_.Include(csDesigning);
  else
    state_.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : components_) c->SetDesigning(value, true);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  if (root != this) return;
  for (TComponent* c : components_)
    if (!c->HasParent()) proc(c);
}

void TComponent::ReadState(TReader& reader) { reader.ReadData(this); }

void TComponent::WriteState(TWriter& writer) { writer.WriteData(this); }

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::SetLoading(bool value) {
  if (value)
    state_.Include(csLoading);
  else
    state_.Exclude(csLoading);
}

// --- TList ------------------------------------------------------------------

void TList::Check(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void* TList::Items(int index) const {
  Check(index);
  return items_[static_cast<std::size_t>(index)];
}

void TList::SetItems(int index, void* item) {
  Check(index);
  items_[static_cast<std::size_t>(index)] = item;
}

int TList::Add(void* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  Check(index);
  items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
  const int i = IndexOf(item);
  if (i >= 0) Delete(i);
  return i;
}

int TList::IndexOf(const void* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int a, int b) {
  Check(a);
  Check(b);
  std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
}

void TList::Move(int from, int to) {
  if (from == to) return;
  Check(from);
  Check(to);
  void* item = items_[static_cast<std::size_t>(from)];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, item);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

// --- TStrings ---------------------------------------------------------------

void TStrings::Put(int index, const std::wstring& s) {
  TObject* object = GetObject(index);
  BeginUpdate();
  Delete(index);
  InsertObject(index, s, object);
  EndUpdate();
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, const std::wstring& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

int TStrings::Add(const std::wstring& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::wstring& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::AddStrings(const TStrings& source) {
  BeginUpdate();
  for (int i = 0; i < source.Count(); ++i) AddObject(source.Get(i), source.GetObject(i));
  EndUpdate();
}

int TStrings::CompareStrings(const std::wstring& a, const std::wstring& b) const { return CompareText(a, b); }

int TStrings::IndexOf(const std::wstring& s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const std::wstring& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::wstring line = Get(i);
    const std::size_t p = line.find(separator_);
    if (p != std::wstring::npos && CompareStrings(line.substr(0, p), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

void TStrings::Exchange(int a, int b) {
  BeginUpdate();
  const std::wstring sa = Get(a), sb = Get(b);
  TObject* oa = GetObject(a);
  TObject* ob = GetObject(b);
  Put(a, sb);
  PutObject(a, ob);
  Put(b, sa);
  PutObject(b, oa);
  EndUpdate();
}

void TStrings::Move(int from, int to) {
  if (from == to) return;
  BeginUpdate();
  const std::wstring s = Get(from);
  TObject* o = GetObject(from);
  PutObject(from, nullptr);
  Delete(from);
  InsertObject(to, s, o);
  EndUpdate();
}

std::wstring TStrings::Names(int index) const {
  const std::wstring line = Get(index);
  const std::size_t p = line.find(separator_);
  return p == std::wstring::npos ? std::wstring() : line.substr(0, p);
}

std::wstring TStrings::ValueFromIndex(int index) const {
  const std::wstring line = Get(index);
  const std::size_t p = line.find(separator_);
  return p == std::wstring::npos ? std::wstring() : line.substr(p + 1);
}

std::wstring TStrings::Values(const std::wstring& name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::wstring() : ValueFromIndex(i);
}

void TStrings::SetValue(const std::wstring& name, const std::wstring& value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Add(name + separator_ + value);
  } else {
    Put(i, name + separator_ + value);
  }
}

std::wstring TStrings::Text() const {
  std::wstring out;
  for (int i = 0; i < Count(); ++i) out += Get(i) + L"\r\n";
  return out;
}

void TStrings::SetText(const std::wstring& text) {
  BeginUpdate();
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    Add(text.substr(start, end - start));
    start = end;
    if (start < text.size() && text[start] == L'\r') ++start;
    if (start < text.size() && text[start] == L'\n') ++start;
  }
  EndUpdate();
}

std::wstring TStrings::CommaText() const {
  std::wstring out;
  for (int i = 0; i < Count(); ++i) {
    const std::wstring s = Get(i);
    if (i) out += L',';
    if (s.empty() || s.find_first_of(L" ,\"") != std::wstring::npos) {
      out += L'"';
      for (wchar_t c : s) {
        if (c == L'"') out += L'"';
        out += c;
      }
      out += L'"';
    } else {
      out += s;
    }
  }
  return out;
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* source) {
  if (auto* strings = dynamic_cast<TStrings*>(source)) {
    if (strings == this) return;
    BeginUpdate();
    Clear();
    separator_ = strings->separator_;
    AddStrings(*strings);
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != other.Get(i)) return false;
  return true;
}

void TStrings::DefineProperties(TFiler& filer) {
  filer.DefineProperty(
      "Strings", [this](TReader& r) { ReadData(r); }, [this](TWriter& w) { WriteData(w); }, Count() > 0);
}

void TStrings::ReadData(TReader& reader) {
  BeginUpdate();
  Clear();
  reader.ReadListBegin();
  while (!reader.EndOfList()) Add(reader.ReadWideString());
  reader.ReadListEnd();
  EndUpdate();
}

void TStrings::WriteData(TWriter& writer) {
  writer.WriteListBegin();
  for (int i = 0; i < Count(); ++i) writer.WriteWideString(Get(i));
  writer.WriteListEnd();
}

// --- TStringList ------------------------------------------------------------

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (ownsObjects_)
    for (Item& item : items_) TObject::Free(std::exchange(item.object, nullptr));
}

void TStringList::Check(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

std::wstring TStringList::Get(int index) const {
  Check(index);
  return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::Put(int index, const std::wstring& s) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  Check(index);
  Changing();
  items_[static_cast<std::size_t>(index)].text = s;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  Check(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  Check(index);
  Changing();
  TObject*& slot = items_[static_cast<std::size_t>(index)].object;
  if (ownsObjects_ && slot != object) TObject::Free(slot);
  slot = object;
  Changed();
}

void TStringList::InsertObject(int index, const std::wstring& s, TObject* object) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

int TStringList::AddObject(const std::wstring& s, TObject* object) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (duplicates_ == dupIgnore) return index;
      if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    }
  }
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
  return index;
}

void TStringList::Delete(int index) {
  Check(index);
  Changing();
  TObject* object = items_[static_cast<std::size_t>(index)].object;
  items_.erase(items_.begin() + index);
  if (ownsObjects_) TObject::Free(object);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<Item> old;
  old.swap(items_);
  if (ownsObjects_)
    for (Item& item : old) TObject::Free(item.object);
  Changed();
}

int TStringList::CompareStrings(const std::wstring& a, const std::wstring& b) const {
  if (!caseSensitive_) return CompareText(a, b);
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int TStringList::IndexOf(const std::wstring& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::wstring& s, int& index) const {
  int lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = CompareStrings(items_[static_cast<std::size_t>(mid)].text, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::CustomSort(const std::function<int(TStringList&, int, int)>& compare) {
  if (Count() < 2) return;
  Changing();
  // Sort a permutation so the comparison sees the list as it is.
  std::vector<int> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(items_[static_cast<std::size_t>(i)]);
  items_.swap(sorted);
  Changed();
}

void TStringList::Sort() {
  CustomSort([](TStringList& list, int a, int b) {
    return list.CompareStrings(list.items_[static_cast<std::size_t>(a)].text,
                               list.items_[static_cast<std::size_t>(b)].text);
  });
}

void TStringList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TStringList::Changing() {
  if (!Updating() && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (!Updating() && OnChange) OnChange(this);
}

// --- TCollection ------------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == collection_) return;
  if (collection_) collection_->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!collection_) return -1;
  auto& items = collection_->items_;
  return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || index < 0 || index == current) return;
  auto& items = collection_->items_;
  index = std::min(index, static_cast<int>(items.size()) - 1);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  Changed(true);
}

std::wstring TCollectionItem::DisplayName() const { return Utf8ToWide(ClassName()); }

TPersistent* TCollectionItem::GetOwner() { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(const TClass& itemClass) : itemClass_(&itemClass) {}

TCollection::~TCollection() {
  updateCount_ = 1;  // no Update calls while going away
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_->itemFactory) throw EInvalidOperation("Cannot create items of class " + itemClass_->Name());
  return itemClass_->itemFactory(this);
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { TObject::Free(Items(index)); }

void TCollection::Clear() {
  if (items_.empty()) return;
  BeginUpdate();
  while (!items_.empty()) TObject::Free(items_.back());
  EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_)
    if (item->id_ == id) return item;
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.push_back(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it != items_.end()) items_.erase(it);
  item->collection_ = nullptr;
  Changed();
}

void TCollection::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TCollection*>(source)) {
    if (other == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : other->items_) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace nuvskin
