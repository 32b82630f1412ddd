// The framework's base classes: persistent objects, components with owners
// and notifications, pointer lists, string lists and collections.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/ObjectModel.h"
#include "framework/SysUtils.h"

namespace nuvskin {

class TFiler;
class TReader;
class TWriter;
class TStream;

// Keyboard and mouse state of input events.
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
NUV_ENUM(TShiftStateFlag, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble");
using TShiftState = Set<TShiftStateFlag>;

// Reading direction of controls and menus.
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
NUV_ENUM(TBiDiMode, "bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly");

// ---------------------------------------------------------------------------

class TPersistent : public TObject {
  NUV_CLASS(TPersistent, TObject)
  // Copies `source` into this object; raises EConvertError when the classes
  // do not know each other.
  virtual void Assign(TPersistent* source);
  // The object that owns this one for streaming and the designer.
  virtual TPersistent* GetOwner() { return nullptr; }
  // Properties streamed besides the published ones.
  virtual void DefineProperties(TFiler& filer);

 protected:
  virtual void AssignTo(TPersistent* dest);
};

// ---------------------------------------------------------------------------

enum TComponentStateFlag { csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating,
                           csFixups, csFreeNotification, csInline, csDesignInstance };
NUV_ENUM(TComponentStateFlag, "csLoading", "csReading", "csWriting", "csDestroying", "csDesigning", "csAncestor",
         "csUpdating", "csFixups", "csFreeNotification", "csInline", "csDesignInstance");
using TComponentState = Set<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

// Lets an object that is not a component (a control's skin, for one) hear
// that a component it sits on went away. The component drops the link when
// it goes, the link unhooks itself when it is reset or destroyed; either may
// come first, also from inside the callback. The callback must not raise.
class TFreeNotifyLink {
 public:
  using Callback = std::function<void(TComponent* freed)>;
  TFreeNotifyLink() = default;
  TFreeNotifyLink(TComponent* component, Callback callback) { Watch(component, std::move(callback)); }
  ~TFreeNotifyLink() { Reset(); }
  TFreeNotifyLink(const TFreeNotifyLink&) = delete;
  TFreeNotifyLink& operator=(const TFreeNotifyLink&) = delete;

  // Watches `component` (nullptr: nothing) instead of the one watched before.
  void Watch(TComponent* component, Callback callback);
  void Reset();
  TComponent* Component() const { return component_; }

 private:
  friend class TComponent;
  TComponent* component_ = nullptr;
  Callback callback_;
};

class TComponent : public TPersistent {
  NUV_CLASS(TComponent, TPersistent)
  static void Publish(ClassBuilder<TComponent>& b);

  // Owned by `owner` (freed with it) when not null. The owner is told of the
  // insertion (Notification with opInsert) once construction has finished;
  // then a component made in code gets its Loaded. One that a reader makes,
  // or that is made while its owner is being read, gets Loaded from the
  // reader once everything is read.
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  void AfterConstruction() override;
  // Tells those concerned while the object is whole, then frees what it owns.
  void BeforeDestruction() override;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  TComponent* FindComponent(std::string_view name) const;

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);
  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }
  TComponentState ComponentState() const { return state_; }
  bool IsDesigning() const { return state_.Contains(csDesigning); }
  bool IsLoading() const { return state_.Contains(csLoading); }
  bool IsDestroying() const { return state_.Contains(csDestroying); }

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();
  // Sets csDestroying on this component and on those it owns.
  void Destroying();
  // Both components are told (opRemove) when the other is freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Marks the component (and what it owns) as being designed.
  void SetDesigning(bool value, bool setChildren = true);

  // Streaming: the components written as this one's children, the parent a
  // child is given back when read.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual bool HasParent() const { return false; }
  virtual void SetParentComponent(TComponent* /*parent*/) {}
  virtual void ReadState(TReader& reader);
  virtual void WriteState(TWriter& writer);
  virtual void Loaded();
  // Flags the component as being loaded or no longer loaded.
  void SetLoading(bool value);

 protected:
  virtual void Notification(TComponent* component, TOperation operation);
  void SetComponentState(TComponentState state) { state_ = state; }
  // First step of destruction (idempotent): csDestroying, then the free
  // notifications and the owner's opRemove.
  void BeginDestruction();
  friend class TReader;
  friend class TWriter;

 private:
  friend class TFreeNotifyLink;
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void NotifyLinks();

  // Set by a reader for the one component it is about to construct.
  static thread_local bool nextIsStreamed_;

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::vector<TFreeNotifyLink*> links_;
  std::string name_;
  std::intptr_t tag_ = 0;
  TComponentState state_;
  bool insertNotified_ = false;
  bool destructionBegun_ = false;
  bool streamed_ = false;  // its reader calls Loaded
  bool constructed_ = false;  // AfterConstruction has run
  std::vector<TComponent*> pendingLoaded_;  // made in the constructor, Loaded after it
};

// ---------------------------------------------------------------------------

// A list of untyped pointers.
class TList : public TObject {
  NUV_CLASS(TList, TObject)
  int Count() const { return static_cast<int>(items_.size()); }
  void* Items(int index) const;
  void SetItems(int index, void* item);
  template <class T>
  T* Item(int index) const {
    return static_cast<T*>(Items(index));
  }
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  int Remove(void* item);  // index it had, or -1
  int IndexOf(const void* item) const;
  void Clear() { items_.clear(); }
  void Exchange(int a, int b);
  void Move(int from, int to);
  // Removes the nil entries.
  void Pack();
  const std::vector<void*>& Raw() const { return items_; }

 private:
  void Check(int index) const;
  std::vector<void*> items_;
};

// ---------------------------------------------------------------------------

// A list of wide strings with attached objects; name=value lines.
class TStrings : public TPersistent {
  NUV_CLASS(TStrings, TPersistent)
  virtual int Count() const = 0;
  virtual std::wstring Get(int index) const = 0;
  virtual void Put(int index, const std::wstring& s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const std::wstring& s) = 0;
  virtual void InsertObject(int index, const std::wstring& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int Add(const std::wstring& s);
  virtual int AddObject(const std::wstring& s, TObject* object);
  void AddStrings(const TStrings& source);
  void Append(const std::wstring& s) { Add(s); }
  virtual int IndexOf(const std::wstring& s) const;
  int IndexOfName(const std::wstring& name) const;
  int IndexOfObject(const TObject* object) const;
  void Exchange(int a, int b);
  void Move(int from, int to);

  std::wstring operator[](int index) const { return Get(index); }
  std::wstring Strings(int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }

  // name=value: the first line whose name matches wins.
  std::wstring Names(int index) const;
  std::wstring ValueFromIndex(int index) const;
  std::wstring Values(const std::wstring& name) const;
  void SetValue(const std::wstring& name, const std::wstring& value);
  wchar_t NameValueSeparator() const { return separator_; }
  void SetNameValueSeparator(wchar_t c) { separator_ = c; }

  // Lines joined (and split) by CR LF.
  std::wstring Text() const;
  void SetText(const std::wstring& text);
  std::wstring CommaText() const;

  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

  void Assign(TPersistent* source) override;
  bool Equals(const TStrings& other) const;
  void DefineProperties(TFiler& filer) override;

 protected:
  virtual int CompareStrings(const std::wstring& a, const std::wstring& b) const;
  virtual void SetUpdateState(bool /*updating*/) {}

 private:
  void ReadData(TReader& reader);
  void WriteData(TWriter& writer);
  wchar_t separator_ = L'=';
  int updateCount_ = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  NUV_CLASS(TStringList, TStrings)
  TStringList() = default;
  explicit TStringList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
  ~TStringList() override;

  int Count() const override { return static_cast<int>(items_.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::wstring& s) override { InsertObject(index, s, nullptr); }
  void InsertObject(int index, const std::wstring& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::wstring& s) override { return AddObject(s, nullptr); }
  int AddObject(const std::wstring& s, TObject* object) override;
  int IndexOf(const std::wstring& s) const override;

  // Binary search in a sorted list: true and the index when found, else
  // false and the insertion point.
  bool Find(const std::wstring& s, int& index) const;
  void Sort();
  void CustomSort(const std::function<int(TStringList&, int, int)>& compare);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  int CompareStrings(const std::wstring& a, const std::wstring& b) const override;
  void SetUpdateState(bool updating) override;
  void Changing();
  void Changed();

 private:
  struct Item {
    std::wstring text;
    TObject* object = nullptr;
  };
  void Check(int index) const;
  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
  TDuplicates duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------

class TCollectionItem : public TPersistent {
  NUV_CLASS(TCollectionItem, TPersistent)
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* collection);
  int Index() const;
  void SetIndex(int index);
  int ID() const { return id_; }
  virtual std::wstring DisplayName() const;
  TPersistent* GetOwner() override;

 protected:
  // Tells the collection that this item changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  NUV_CLASS(TCollection, TPersistent)
  explicit TCollection(const TClass& itemClass);
  ~TCollection() override;

  const TClass& ItemClass() const { return *itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;
  template <class T>
  T* Item(int index) const {
    return static_cast<T*>(Items(index));
  }
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  void BeginUpdate();
  void EndUpdate();

  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return nullptr; }

  // Called when an item (or, with nullptr, the whole collection) changed.
  virtual void Update(TCollectionItem* /*item*/) {}

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void Changed();

  const TClass* itemClass_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

// A collection with an owner, reported to the designer and the streamer.
class TOwnedCollection : public TCollection {
  NUV_CLASS(TOwnedCollection, TCollection)
  TOwnedCollection(TPersistent* owner, const TClass& itemClass) : TCollection(itemClass), owner_(owner) {}
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};

}  // namespace nuvskin
