// The engine component: a form stream with a stored skin, the error
// messages a user of the component sees, skin files found by name, skins
// refused whole, and switching between the engine's skins.
#include <gtest/gtest.h>

#include <filesystem>

#include "FrameTestSupport.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "skin/BuiltInSkin.h"
#include "skin/format/ContainerWriter.h"

using namespace nuvskin;
using namespace nuvskin::test;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

format::ByteSpan Span(std::span<const std::uint8_t> data) { return format::ByteSpan(data.data(), data.size()); }


// A form stream written by hand, as a form designer would have saved it:
// the engine with BuiltIn, a SkinFile path of the designer's machine, a
// stored Version, and the container bytes as SkinData.
void WriteEngineForm(TStream& stream, std::span<const std::uint8_t> skin) {
  TWriter w(stream);
  w.WriteSignature();
  w.WriteStr("TForm");
  w.WriteStr("StoredForm");
  w.WriteListEnd();
  w.WriteStr("TnuvSkinEngine");
  w.WriteStr("Engine");
  w.WriteStr("Active");
  w.WriteBoolean(true);
  w.WriteStr("SkinFile");
  w.WriteString("C:\\designer\\skins\\gone.nsk");
  w.WriteStr("Version");
  w.WriteString("1.0");
  w.WriteStr("BuiltIn");
  w.WriteBoolean(true);
  w.WriteStr("SkinData");
  w.WriteBinary([&](TStream& data) { data.Write(skin.data(), static_cast<std::int64_t>(skin.size())); });
  w.WriteListEnd();
  w.WriteListEnd();
  w.WriteListEnd();
}

TEST(Engine, AFormStreamWithAStoredSkinIsSkinnedWhereItsFileDoesNotExist) {
  TMemoryStream stream;
  WriteEngineForm(stream, ThreeSectSkinData());
  stream.SetPosition(0);
  TForm* form = Create<TForm>(nullptr);
  TReader reader(stream);
  reader.ReadRootComponent(form);
  auto* engine = dynamic_cast<TnuvSkinEngine*>(form->FindComponent("Engine"));
  ASSERT_NE(engine, nullptr);
  EXPECT_TRUE(engine->Ready());
  EXPECT_TRUE(engine->SkinningActive());
  EXPECT_EQ(engine->SkinFile(), "C:\\designer\\skins\\gone.nsk") << "SkinFile still shows the stored path";
  EXPECT_EQ(engine->Version(), "4.7");
  EXPECT_TRUE(engine->BuiltIn());
  EXPECT_EQ(engine->FTitleBarHeight, 28) << "the stored skin's metrics";

  // A dialog opened now is skinned with it.
  DialogLog log;
  HWND dialog = CreateTestDialog(&log);
  engine->AddFrameSkin(dialog, false);
  EXPECT_TRUE(IsSkinned(dialog));
  ::DestroyWindow(dialog);
  TObject::Free(form);
}

TEST(Engine, ErrorsTheUserOfTheComponentSees) {
  TComponent* notAForm = Create<TComponent>(nullptr);
  EXPECT_EQ(ErrorOf([&] { Create<TnuvSkinEngine>(notAForm); }), "Must be placed on a Form");
  EXPECT_EQ(notAForm->ComponentCount(), 0) << "the refused engine left nothing behind";
  TObject::Free(notAForm);

  TForm* form = Create<TForm>(nullptr);
  auto* engine = Create<TnuvSkinEngine>(form);
  EXPECT_EQ(ErrorOf([&] { Create<TnuvSkinEngine>(form); }), "One form can only catch one TnuvSkinEngine!");
  EXPECT_EQ(form->ComponentCount(), 1);
  EXPECT_EQ(ErrorOf([&] { engine->SetBuiltIn(true); }), "BuiltIn property only can be specified at design time!");

  // A skin file with a password: the wrong one is refused by name.
  const format::Bytes sk2 = BuiltInSk2();
  ASSERT_FALSE(sk2.empty());
  const format::Bytes locked = format::WriteSkinContainer(format::ByteSpan(sk2.data(), sk2.size()), "secret");
  engine->SetPassword("guess");
  EXPECT_EQ(ErrorOf([&] { engine->LoadSkinData(format::ByteSpan(locked.data(), locked.size())); }), "Wrong password!");
  EXPECT_FALSE(engine->Ready());
  engine->SetPassword("secret");
  engine->LoadSkinData(format::ByteSpan(locked.data(), locked.size()));
  EXPECT_TRUE(engine->Ready());
  TObject::Free(form);
}

TEST(Engine, ASkinWithoutTheFrameBitmapsIsRefusedAndThePreviousSkinStays) {
  EngineFixture fixture;
  TnuvSkinEngine* engine = fixture.engine;
  DialogLog log;
  HWND dialog = CreateTestDialog(&log);
  engine->AddFrameSkin(dialog, false);
  const SIZE skinned = WindowSizeOf(dialog);
  int changes = 0;
  engine->OnSkinChanged = TNotifyEvent([&](TObject*) { ++changes; });
  // Without the right end of the title the frame cannot be measured.
  const format::Bytes broken = EditedBuiltInSkin([](std::vector<format::Sk2Element>& elements) {
    std::erase_if(elements, [](const format::Sk2Element& e) { return e.name == "SKIN2_TITLEBAR3"; });
  });
  EXPECT_EQ(ErrorOf([&] { engine->LoadSkinData(format::ByteSpan(broken.data(), broken.size())); }),
            "Failed to read skin file!");
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(engine->SkinningActive());
  EXPECT_EQ(engine->FTitleBarHeight, 31);
  EXPECT_TRUE(IsSkinned(dialog));
  EXPECT_EQ(WindowSizeOf(dialog).cx, skinned.cx);
  EXPECT_EQ(WindowSizeOf(dialog).cy, skinned.cy);
  ::DestroyWindow(dialog);
}

TEST(Engine, ASkinFileIsFoundBesideTheProgramAndShowsItsFullPath) {
  namespace fs = std::filesystem;
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const fs::path folder = fs::path(exe).parent_path();
  const fs::path file = folder / "nuvskin-engine-test.nsk";
  {
    TFileStream out(WideToUtf8(file.wstring()), fmCreate);
    const auto data = ThreeSectSkinData();
    out.Write(data.data(), static_cast<std::int64_t>(data.size()));
  }
  // From another folder the bare name does not exist: it is searched for.
  const fs::path previous = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  EngineFixture fixture;
  TnuvSkinEngine* engine = fixture.engine;
  engine->SetSkinFile("nosuchskin.nsk");
  EXPECT_EQ(engine->SkinFile(), "") << "a name found nowhere changes nothing";
  EXPECT_EQ(engine->FTitleBarHeight, 31);
  engine->SetSkinFile("nuvskin-engine-test.nsk");
  fs::current_path(previous);
  EXPECT_TRUE(SameTextAscii(engine->SkinFile(), WideToUtf8(file.wstring()))) << engine->SkinFile();
  EXPECT_EQ(engine->FTitleBarHeight, 28);
  fs::remove(file);
}

TEST(Engine, AnAdditionalSkinBecomesCurrentAndTheOwnSkinComesBack) {
  EngineFixture fixture;
  TnuvSkinEngine* engine = fixture.engine;
  TnuvSkinCollectionItem* item = engine->AdditionalBuiltInSkins()->Add();
  EXPECT_EQ(ErrorOf([&] { engine->UseAdditionalSkin(0); }), "Failed to read skin file!") << "an item not loaded";
  item->Reader()->LoadSkinData(Span(ThreeSectSkinData()), {});
  engine->UseAdditionalSkin(0);
  EXPECT_EQ(engine->Skin(), item->Reader());
  EXPECT_EQ(engine->FTitleBarHeight, 28);
  EXPECT_EQ(engine->FMinFormWidth, 36 + std::max(16, 324 / 6 + 35)) << "three sections";
  engine->UseOwnSkin();
  EXPECT_EQ(engine->FTitleBarHeight, 31);
  EXPECT_EQ(engine->FMinFormWidth, 31 + 17 + 324 / 6 + 35) << "five sections";
}

TEST(Engine, TheSystemMenuFollowsItsCaptions) {
  EngineFixture fixture;
  TnuvSkinEngine* engine = fixture.engine;
  engine->SetResSysMenuClose(L"&Schliessen");
  EXPECT_EQ(engine->SysMenu()->Items()->Items(3)->Caption(), L"&Schliessen");
  EXPECT_EQ(engine->SysMenu()->Items()->Items(0)->Caption(), L"Mi&nimize");
}

}  // namespace
