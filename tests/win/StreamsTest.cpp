// Streams, string lists and collections, and the binary form stream: round
// trips and a stream assembled byte by byte in the classic layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "framework/Streams.h"

using namespace nuvskin;

namespace {

class TNote : public TCollectionItem {
  NUV_CLASS(TNote, TCollectionItem)
  static void Publish(ClassBuilder<TNote>& b) {
    b.String("Title", &TNote::Title, &TNote::SetTitle);
    b.Integer("Weight", &TNote::Weight, &TNote::SetWeight);
  }
  using TCollectionItem::TCollectionItem;
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  int Weight() const { return weight_; }
  void SetWeight(int v) { weight_ = v; }
  std::string blob;
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty(
        "Blob", [this](TStream& s) { blob.assign(static_cast<std::size_t>(s.Size()), '\0'); s.ReadBuffer(blob.data(), s.Size()); },
        [this](TStream& s) { s.WriteBuffer(blob.data(), static_cast<std::int64_t>(blob.size())); }, !blob.empty());
  }

 private:
  std::string title_;
  int weight_ = 0;
};

class TGadget : public TComponent {
  NUV_CLASS(TGadget, TComponent)
  static void Publish(ClassBuilder<TGadget>& b) {
    b.Integer("Level", &TGadget::Level, &TGadget::SetLevel);
    b.Integer("Spawn", &TGadget::Spawn, &TGadget::SetSpawn).defaultOrd = 0;
  }
  using TComponent::TComponent;
  int Level() const { return level_; }
  void SetLevel(int v) {
    level_ = v;
    loadingWhenSet = IsLoading();
  }
  // Non-zero: a sibling is made in code, while the owner may be loading.
  int Spawn() const { return spawn_; }
  void SetSpawn(int v) {
    spawn_ = v;
    if (v && Owner()) spawned = Create<TGadget>(Owner());
  }
  int spawn_ = 0;
  TGadget* spawned = nullptr;
  void Loaded() override {
    TComponent::Loaded();
    ++loadedCalls;
  }
  bool loadingWhenSet = false;
  int loadedCalls = 0;

 private:
  int level_ = 0;
};

class TDocument : public TComponent {
  NUV_CLASS(TDocument, TComponent)
  static void Publish(ClassBuilder<TDocument>& b) {
    b.Integer("Count", &TDocument::Count, &TDocument::SetCount);
    b.Boolean("Flag", &TDocument::Flag, &TDocument::SetFlag);
    b.WideString("Text", &TDocument::Text, &TDocument::SetText);
    b.Object("Lines", &TDocument::Lines, &TDocument::SetLines);
    b.Object("Notes", &TDocument::Notes);
    b.Object("Buddy", &TDocument::Buddy, &TDocument::SetBuddy);
    b.Event("OnPing", &TDocument::OnPing);
    b.Method("PingHandler", &TDocument::PingHandler);
  }
  explicit TDocument(TComponent* owner) : TComponent(owner) {
    lines_ = Create<TStringList>();
    notes_ = Create<TOwnedCollection>(this, TNote::StaticClass());
  }
  ~TDocument() override {
    TObject::Free(lines_);
    TObject::Free(notes_);
  }
  int Count() const { return count_; }
  void SetCount(int v) { count_ = v; }
  bool Flag() const { return flag_; }
  void SetFlag(bool v) { flag_ = v; }
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& v) { text_ = v; }
  TStringList* Lines() const { return lines_; }
  void SetLines(TStringList* v) { lines_->Assign(v); }
  TOwnedCollection* Notes() const { return notes_; }
  TGadget* Buddy() const { return buddy_; }
  void SetBuddy(TGadget* v) { buddy_ = v; }
  void PingHandler(TObject*) { ++pings; }
  TNotifyEvent OnPing;
  std::vector<std::uint8_t> data;
  int pings = 0;

  void DefineProperties(TFiler& filer) override {
    TComponent::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& s) {
          data.resize(static_cast<std::size_t>(s.Size()));
          s.ReadBuffer(data.data(), s.Size());
        },
        [this](TStream& s) { s.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size())); }, !data.empty());
  }

 private:
  int count_ = 0;
  bool flag_ = false;
  std::wstring text_;
  TStringList* lines_;
  TOwnedCollection* notes_;
  TGadget* buddy_ = nullptr;
};

std::vector<std::uint8_t> Write(TComponent* root) {
  TMemoryStream stream;
  stream.WriteComponent(root);
  return stream.Bytes();
}

TDocument* Read(const std::vector<std::uint8_t>& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  return static_cast<TDocument*>(stream.ReadComponent(nullptr));
}

}  // namespace

TEST(StringList, CaseInsensitiveNameValueAndObjects) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.Add(L"SKIN2_FORMCOLOR=15263976");
  list.Add(L"skin2_formcolor=1");  // a later duplicate never wins
  list.Add(L"Plain");
  EXPECT_EQ(list.IndexOf(L"plain"), 2);
  EXPECT_EQ(list.Values(L"Skin2_FormColor"), L"15263976");
  EXPECT_EQ(list.Names(1), L"skin2_formcolor");
  EXPECT_EQ(list.Values(L"Missing"), L"");
  list.SetValue(L"NEW", L"7");
  EXPECT_EQ(list.Values(L"new"), L"7");
  list.SetValue(L"new", L"");
  EXPECT_EQ(list.IndexOfName(L"NEW"), -1);
  EXPECT_EQ(changes, 5);

  list.BeginUpdate();
  list.Add(L"a");
  list.Add(L"b");
  list.EndUpdate();
  EXPECT_EQ(changes, 6);  // one notification for the whole update

  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(L"plain"), -1);
  EXPECT_THROW(list.Get(99), EListError);

  TStringList owning(true);
  auto* attached = Create<TStringList>();
  owning.AddObject(L"x", attached);
  EXPECT_EQ(owning.Objects(0), attached);
  owning.Delete(0);  // frees the object (ASan reports it otherwise)
}

TEST(StringList, SortedListsFindAndRefuseDuplicates) {
  TStringList list;
  list.SetText(L"pear\r\napple\nFig\r\n");
  ASSERT_EQ(list.Count(), 3);
  list.SetSorted(true);
  EXPECT_EQ(list.Text(), L"apple\r\nFig\r\npear\r\n");
  EXPECT_EQ(list.Add(L"APPLE"), 0);  // ignored duplicate
  EXPECT_EQ(list.Count(), 3);
  list.SetDuplicates(dupError);
  EXPECT_THROW(list.Add(L"fig"), EListError);
  EXPECT_EQ(list.Add(L"banana"), 1);
  EXPECT_EQ(list.IndexOf(L"PEAR"), 3);
  EXPECT_THROW(list.Insert(0, L"z"), EListError);
}

TEST(Streams, MemoryAndFileStreams) {
  TMemoryStream m;
  const char text[] = "hello";
  m.WriteBuffer(text, 5);
  EXPECT_EQ(m.Size(), 5);
  m.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 4);
  EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / L"nuvskin-streams-\u00E9";
  std::filesystem::create_directories(dir);
  const std::string file = WideToUtf8((dir / L"data.bin").wstring());
  m.SaveToFile(file);
  {
    TFileStream f(file, fmOpenRead | fmShareDenyWrite);
    EXPECT_EQ(f.Size(), 5);
    TMemoryStream copy;
    copy.CopyFrom(f, 0);
    EXPECT_EQ(copy.Bytes(), m.Bytes());
  }
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  std::filesystem::remove_all(dir);
  EXPECT_THROW(TFileStream(file, fmOpenRead), EFOpenError);
}

TEST(FormStream, RoundTripKeepsPropertiesChildrenCollectionsAndBytes) {
  TDocument* doc = Create<TDocument>(nullptr);
  doc->SetName("Doc1");
  doc->SetCount(300000);
  doc->SetFlag(true);
  doc->SetText(L"\u041F\u0440\u0438\u0432\u0435\u0442");
  doc->Lines()->Add(L"first");
  doc->Lines()->Add(L"second line");
  auto* note = static_cast<TNote*>(doc->Notes()->Add());
  note->SetTitle("todo");
  note->SetWeight(-2);
  note->blob = "xyz";
  doc->Notes()->Add();
  TGadget* gadget = Create<TGadget>(doc);
  gadget->SetName("Gadget1");
  gadget->SetLevel(7);
  doc->SetBuddy(gadget);
  doc->OnPing = TNotifyEvent::Bind(doc, &TDocument::PingHandler);
  doc->data = {0, 1, 2, 255};
  const auto bytes = Write(doc);
  TObject::Free(doc);

  TDocument* back = Read(bytes);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Name(), "Doc1");
  EXPECT_EQ(back->Count(), 300000);
  EXPECT_TRUE(back->Flag());
  EXPECT_EQ(back->Text(), L"\u041F\u0440\u0438\u0432\u0435\u0442");
  EXPECT_EQ(back->Lines()->Text(), L"first\r\nsecond line\r\n");
  ASSERT_EQ(back->Notes()->Count(), 2);
  EXPECT_EQ(back->Notes()->Item<TNote>(0)->Title(), "todo");
  EXPECT_EQ(back->Notes()->Item<TNote>(0)->Weight(), -2);
  EXPECT_EQ(back->Notes()->Item<TNote>(0)->blob, "xyz");
  ASSERT_EQ(back->ComponentCount(), 1);
  auto* g = dynamic_cast<TGadget*>(back->Components(0));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Level(), 7);
  EXPECT_TRUE(g->loadingWhenSet);  // properties arrive while csLoading is set
  EXPECT_EQ(g->loadedCalls, 1);
  EXPECT_FALSE(g->IsLoading());
  EXPECT_EQ(back->Buddy(), g);  // the reference is resolved by name
  ASSERT_TRUE(back->OnPing);
  back->OnPing(back);
  EXPECT_EQ(back->pings, 1);
  EXPECT_EQ(back->data, (std::vector<std::uint8_t>{0, 1, 2, 255}));
  EXPECT_EQ(Write(back), bytes);
  TObject::Free(back);
}

TEST(FormStream, HandAssembledClassicStreamReadsBack) {
  std::vector<std::uint8_t> s;
  auto str = [&](const std::string& v) {
    s.push_back(static_cast<std::uint8_t>(v.size()));
    s.insert(s.end(), v.begin(), v.end());
  };
  s.insert(s.end(), {'T', 'P', 'F', '0'});
  str("TDocument");
  str("Doc");
  str("Count"), s.insert(s.end(), {0x03, 0x34, 0x12});         // vaInt16 0x1234
  str("Flag"), s.push_back(0x09);                              // vaTrue
  str("Text"), s.push_back(0x06), str("plain");                // vaString
  str("Lines.Strings"), s.push_back(0x01);                     // vaList
  s.push_back(0x12), s.insert(s.end(), {2, 0, 0, 0, 0x41, 0x00, 0xE9, 0x00});  // vaWString "Aé"
  s.push_back(0x00);                                           // end of list
  str("Notes"), s.push_back(0x0E);                             // vaCollection
  s.push_back(0x01), str("Title"), s.push_back(0x06), str("n1"), s.push_back(0x00);
  s.push_back(0x00);
  str("Data"), s.push_back(0x0A), s.insert(s.end(), {3, 0, 0, 0, 'S', 'K', 3});  // raw bytes
  s.push_back(0x00);  // end of properties
  str("TGadget");
  str("G");
  str("Level"), s.insert(s.end(), {0x04, 0xFF, 0xFF, 0xFF, 0x7F});  // vaInt32
  s.push_back(0x00), s.push_back(0x00);  // gadget: no more properties, no children
  s.push_back(0x00);                     // root: no more children

  TDocument* doc = Read(s);
  EXPECT_EQ(doc->Name(), "Doc");
  EXPECT_EQ(doc->Count(), 0x1234);
  EXPECT_TRUE(doc->Flag());
  EXPECT_EQ(doc->Text(), L"plain");
  EXPECT_EQ(doc->Lines()->Get(0), L"A\u00E9");
  ASSERT_EQ(doc->Notes()->Count(), 1);
  EXPECT_EQ(doc->Notes()->Item<TNote>(0)->Title(), "n1");
  EXPECT_EQ(doc->data, (std::vector<std::uint8_t>{'S', 'K', 3}));
  ASSERT_EQ(doc->ComponentCount(), 1);
  EXPECT_EQ(static_cast<TGadget*>(doc->Components(0))->Level(), 0x7FFFFFFF);
  TObject::Free(doc);
}

TEST(FormStream, DamagedStreamsRaiseAndFreeWhatWasRead) {
  TDocument* doc = Create<TDocument>(nullptr);
  doc->SetName("D");
  Create<TGadget>(doc)->SetName("G");
  doc->data = {1, 2, 3};
  const auto good = Write(doc);
  TObject::Free(doc);

  for (std::size_t cut = 1; cut < good.size(); cut += 3) {
    const std::vector<std::uint8_t> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_THROW(Read(part), EReadError) << cut;
  }
  auto unknownClass = good;
  unknownClass[5] = 'X';  // "TDocument" -> "XDocument"
  EXPECT_THROW(Read(unknownClass), EClassNotFound);
  auto badSignature = good;
  badSignature[0] = 'X';
  EXPECT_THROW(Read(badSignature), EReadError);
}

TEST(FormStream, LoadedComesOnceWhetherMadeInCodeOrRead) {
  OwnedObject<TDocument> doc(Create<TDocument>(nullptr));
  doc->SetName("Doc");
  TGadget* made = Create<TGadget>(doc.get());
  EXPECT_EQ(made->loadedCalls, 1);  // made in code: right after construction
  EXPECT_FALSE(made->IsLoading());
  made->SetName("Made");
  TMemoryStream stream;
  stream.WriteComponent(made);
  stream.SetPosition(0);
  OwnedObject<TGadget> root(static_cast<TGadget*>(stream.ReadComponent(nullptr)));
  EXPECT_EQ(root->loadedCalls, 1);  // a root the reader makes: from the reader only

  made->SetSpawn(1);  // makes a sibling in code, and does so again while read
  EXPECT_EQ(made->spawned->loadedCalls, 1);
  made->spawned->Free();
  OwnedObject<TDocument> back(Read(Write(doc.get())));
  auto* read = static_cast<TGadget*>(back->FindComponent("Made"));
  ASSERT_NE(read, nullptr);
  ASSERT_NE(read->spawned, nullptr);
  EXPECT_EQ(read->loadedCalls, 1);
  EXPECT_EQ(read->spawned->loadedCalls, 1);  // from the reader, at the end
  EXPECT_FALSE(read->spawned->IsLoading());
}

TEST(FormStream, EmptyListsAndCollectionsAreNotWritten) {
  auto contains = [](const std::vector<std::uint8_t>& bytes, const std::string& text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
  };
  OwnedObject<TDocument> doc(Create<TDocument>(nullptr));
  doc->SetName("Doc");
  const auto empty = Write(doc.get());
  EXPECT_FALSE(contains(empty, "Notes"));
  EXPECT_FALSE(contains(empty, "Lines"));
  EXPECT_TRUE(contains(empty, "Count"));  // integers and Booleans always are
  EXPECT_TRUE(contains(empty, "Flag"));
  OwnedObject<TDocument> emptyBack(Read(empty));
  EXPECT_EQ(emptyBack->Notes()->Count(), 0);
  EXPECT_EQ(emptyBack->Lines()->Count(), 0);

  doc->Lines()->Add(L"one");
  doc->Notes()->Add();
  const auto filled = Write(doc.get());
  EXPECT_TRUE(contains(filled, "Notes"));
  EXPECT_TRUE(contains(filled, "Lines.Strings"));
  OwnedObject<TDocument> back(Read(filled));
  EXPECT_EQ(back->Notes()->Count(), 1);
  EXPECT_EQ(back->Lines()->Get(0), L"one");
}
