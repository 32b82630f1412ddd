// Class names, ancestry, published properties by name, events, and the two
// construction and destruction phases.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Classes.h"

using namespace nuvskin;

namespace {

enum TShade { shLight, shMedium, shDark };
enum TEdge { edLeft, edTop, edRight, edBottom };

}  // namespace

namespace nuvskin {
NUV_ENUM(TShade, "shLight", "shMedium", "shDark");
NUV_ENUM(TEdge, "edLeft", "edTop", "edRight", "edBottom");
}  // namespace nuvskin

namespace {

using TEdges = Set<TEdge>;

class TWidget : public TComponent {
  NUV_CLASS(TWidget, TComponent)
  static void Publish(ClassBuilder<TWidget>& b) {
    b.Integer("Size", &TWidget::Size, &TWidget::SetSize);
    b.Boolean("Enabled", &TWidget::Enabled, &TWidget::SetEnabled);
    b.Enum("Shade", &TWidget::Shade, &TWidget::SetShade);
    b.SetOf("Edges", "TEdges", &TWidget::Edges, &TWidget::SetEdges);
    b.String("Hint", &TWidget::Hint, &TWidget::SetHint);
    b.WideString("Caption", &TWidget::Caption, &TWidget::SetCaption);
    b.Integer("Version", &TWidget::Size);  // read-only
    b.Event("OnClick", &TWidget::OnClick);
  }
  using TComponent::TComponent;
  int Size() const { return size_; }
  void SetSize(int v) { size_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  TShade Shade() const { return shade_; }
  void SetShade(TShade v) { shade_ = v; }
  TEdges Edges() const { return edges_; }
  void SetEdges(TEdges v) { edges_ = v; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v) { hint_ = v; }
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& v) { caption_ = v; }
  TNotifyEvent OnClick;

 private:
  int size_ = 0;
  bool enabled_ = true;
  TShade shade_ = shLight;
  TEdges edges_;
  std::string hint_;
  std::wstring caption_;
};

class TFancyWidget : public TWidget {
  NUV_CLASS(TFancyWidget, TWidget)
  using TWidget::TWidget;
};

// Records what it is told and whether it saw finished objects.
class TWatcher : public TComponent {
  NUV_CLASS(TWatcher, TComponent)
  using TComponent::TComponent;
  std::vector<std::string> log;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    log.push_back((op == opInsert ? "insert " : "remove ") + c->ClassName());
  }
};

}  // namespace

TEST(ObjectModel, ClassNamesAndAncestry) {
  TWidget* w = Create<TFancyWidget>(nullptr);
  EXPECT_EQ(w->ClassName(), "TFancyWidget");
  EXPECT_TRUE(w->InheritsFrom(TWidget::StaticClass()));
  EXPECT_TRUE(w->Is<TComponent>());
  EXPECT_TRUE(w->Is<TPersistent>());
  EXPECT_FALSE(w->Is<TStrings>());
  EXPECT_EQ(TFancyWidget::StaticClass().Parent(), &TWidget::StaticClass());
  EXPECT_EQ(FindClass("tfancywidget"), &TFancyWidget::StaticClass());
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  TObject::Free(w);
}

TEST(ObjectModel, PublishedPropertiesByName) {
  TFancyWidget* w = Create<TFancyWidget>(nullptr);
  // Inherited from TComponent first, then the widget's own in declaration order.
  std::vector<std::string> names;
  for (const PropInfo* p : w->ClassType().Properties()) names.push_back(p->name);
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "Size", "Enabled", "Shade", "Edges", "Hint",
                                             "Caption", "Version", "OnClick"}));

  EXPECT_TRUE(IsPublishedProp(w, "caption"));
  EXPECT_FALSE(IsPublishedProp(w, "Color"));
  const PropInfo* caption = GetPropInfo(w, "Caption");
  EXPECT_EQ(caption->kind, TypeKind::WString);
  EXPECT_EQ(GetPropInfo(w, "Hint")->kind, TypeKind::String);
  EXPECT_EQ(GetPropInfo(w, "Shade")->typeName, "TShade");
  EXPECT_EQ(GetPropInfo(w, "Edges")->typeName, "TEdges");

  SetOrdProp(w, "Size", 42);
  EXPECT_EQ(w->Size(), 42);
  SetEnumProp(w, GetPropInfo(w, "Shade"), "shDark");
  EXPECT_EQ(w->Shade(), shDark);
  EXPECT_EQ(GetEnumProp(w, GetPropInfo(w, "Shade")), "shDark");
  w->SetEdges({edTop, edBottom});
  EXPECT_EQ(GetOrdProp(w, "Edges"), (1 << edTop) | (1 << edBottom));
  SetOrdProp(w, "Edges", 1 << edLeft);
  EXPECT_TRUE(w->Edges().Contains(edLeft));
  EXPECT_FALSE(w->Edges().Contains(edTop));
  SetWideStrProp(w, caption, L"Gr\u00FC\u00DFe");
  EXPECT_EQ(GetStrProp(w, caption), "Gr\xC3\xBC\xC3\x9F" "e");
  SetStrProp(w, GetPropInfo(w, "Hint"), "tip");
  EXPECT_EQ(w->Hint(), "tip");

  EXPECT_THROW(SetOrdProp(w, "Version", 1), EPropertyError);
  EXPECT_THROW(SetOrdProp(w, "Missing", 1), EPropertyError);
  EXPECT_THROW(GetOrdProp(w, caption), EPropertyError);
  EXPECT_THROW(SetEnumProp(w, GetPropInfo(w, "Shade"), "shPurple"), EPropertyError);
  TObject::Free(w);
}

TEST(ObjectModel, EventsCompareByBoundMethod) {
  struct Target {
    int clicks = 0;
    void Click(TObject*) { ++clicks; }
    void Other(TObject*) {}
  } a, b;
  TNotifyEvent e1 = TNotifyEvent::Bind(&a, &Target::Click);
  TNotifyEvent e2 = TNotifyEvent::Bind(&a, &Target::Click);
  TNotifyEvent e3 = TNotifyEvent::Bind(&b, &Target::Click);
  TNotifyEvent e4 = TNotifyEvent::Bind(&a, &Target::Other);
  TNotifyEvent lambda = [](TObject*) {};
  EXPECT_TRUE(e1 == e2);
  EXPECT_FALSE(e1 == e3);
  EXPECT_FALSE(e1 == e4);
  EXPECT_FALSE(lambda == lambda);
  EXPECT_TRUE(TNotifyEvent() == TNotifyEvent(nullptr));
  e1(nullptr);
  EXPECT_EQ(a.clicks, 1);
}

TEST(Components, OwnerFreesOwnedAndNotifiesFinishedObjects) {
  TWatcher* owner = Create<TWatcher>(nullptr);
  TWatcher* watcher = Create<TWatcher>(owner);
  TWidget* widget = Create<TFancyWidget>(owner);
  widget->SetName("Widget1");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1), widget);
  EXPECT_EQ(owner->FindComponent("WIDGET1"), widget);
  // Insertion is reported with the full class, not a half-built base.
  ASSERT_FALSE(owner->log.empty());
  EXPECT_EQ(owner->log.back(), "insert TFancyWidget");
  EXPECT_EQ(watcher->log.back(), "insert TFancyWidget");

  widget->Free();
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(watcher->log.back(), "remove TFancyWidget");

  TWidget* second = Create<TWidget>(owner);
  EXPECT_THROW(second->SetName("Watcher!"), EComponentError);
  watcher->SetName("Dup");
  EXPECT_THROW(second->SetName("dup"), EComponentError);
  TObject::Free(owner);  // frees watcher and second too (ASan/leak-free under the headroom tests)
}

TEST(Components, FreeNotificationAcrossOwners) {
  TWatcher* a = Create<TWatcher>(nullptr);
  TWatcher* b = Create<TWatcher>(nullptr);
  TWidget* w = Create<TWidget>(a);
  w->FreeNotification(b);
  TObject::Free(w);
  ASSERT_FALSE(b->log.empty());
  EXPECT_EQ(b->log.back(), "remove TWidget");
  TObject::Free(a);
  TObject::Free(b);
}

TEST(Components, DestroyingIsSetOnOwnedComponentsFirst) {
  TComponent* owner = Create<TComponent>(nullptr);
  struct TProbe : TComponent {
    using TComponent::TComponent;
    bool* ownerDestroyingSeen = nullptr;
    ~TProbe() override { *ownerDestroyingSeen = Owner() == nullptr || ComponentState().Contains(csDestroying); }
  };
  bool seen = false;
  auto* probe = Create<TProbe>(owner);
  probe->ownerDestroyingSeen = &seen;
  owner->Free();
  EXPECT_TRUE(seen);
}

TEST(Components, FailedSecondPhaseLeavesNothingBehind) {
  struct TFragile : TComponent {
    using TComponent::TComponent;
    void AfterConstruction() override {
      TComponent::AfterConstruction();
      throw Exception("Must be placed on a Form");
    }
  };
  TWatcher* owner = Create<TWatcher>(nullptr);
  EXPECT_THROW(Create<TFragile>(owner), Exception);
  EXPECT_EQ(owner->ComponentCount(), 0);
  owner->Free();
}

TEST(Components, FreeNotifyLinksTellObjectsThatAreNotComponents) {
  TComponent* owner = Create<TComponent>(nullptr);
  auto* first = Create<TComponent>(owner);
  TComponent* seen[2] = {first, first};  // what two skins sit on
  TFreeNotifyLink a, b;
  for (int i = 0; i < 2; ++i)
    (i ? b : a).Watch(first, [&seen, i](TComponent* freed) {
      EXPECT_TRUE(freed->IsDestroying());  // told while the component is still whole
      if (seen[i] == freed) seen[i] = nullptr;
    });
  first->Free();
  EXPECT_EQ(seen[0], nullptr);
  EXPECT_EQ(seen[1], nullptr);
  EXPECT_EQ(a.Component(), nullptr);

  auto* second = Create<TComponent>(owner);
  int calls = 0;
  { TFreeNotifyLink gone(second, [&](TComponent*) { ++calls; }); }  // the observer went first
  auto self = std::make_unique<TFreeNotifyLink>();
  TFreeNotifyLink other;
  other.Watch(second, [&](TComponent*) { ++calls; });
  self->Watch(second, [&](TComponent*) {  // the last one made is told first
    ++calls;
    self.reset();  // unhooks itself and the other while being told
    other.Reset();
  });
  owner->Free();
  EXPECT_EQ(calls, 1);
}

namespace {

// A destructor that still dispatches to its own object, as a form does when
// the icon it frees reports a change.
class TSelfNotifier : public TComponent {
  NUV_CLASS(TSelfNotifier, TComponent)
  using TComponent::TComponent;
  ~TSelfNotifier() override {
    ++*destructions;
    ObjectPin pin(this);
  }
  int* destructions = nullptr;
};

TEST(Components, AnObjectPinnedByItsOwnDestructorIsDeletedOnce) {
  int destructions = 0;
  auto* object = Create<TSelfNotifier>(nullptr);
  object->destructions = &destructions;
  TObject::Free(object);
  EXPECT_EQ(destructions, 1);
}

}  // namespace
