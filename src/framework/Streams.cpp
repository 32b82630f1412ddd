#include "framework/Streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace nuvskin {

// --- TStream ----------------------------------------------------------------

std::int64_t TStream::Size() {
  const std::int64_t pos = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, 64 * 1024)));
  std::int64_t done = 0;
  while (done < count) {
    const std::int64_t n = std::min<std::int64_t>(count - done, static_cast<std::int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    done += n;
  }
  return done;
}

void TStream::WriteComponent(TComponent* instance) {
  TWriter writer(*this);
  writer.WriteRootComponent(instance);
}

TComponent* TStream::ReadComponent(TComponent* instance) {
  TReader reader(*this);
  return reader.ReadRootComponent(instance);
}

// --- TMemoryStream ----------------------------------------------------------

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || pos_ >= Size()) return 0;
  const std::int64_t n = std::min(count, Size() - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<std::size_t>(n));
  pos_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  if (pos_ + count > Size()) data_.resize(static_cast<std::size_t>(pos_ + count));
  std::memcpy(data_.data() + pos_, buffer, static_cast<std::size_t>(count));
  pos_ += count;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : Size();
  pos_ = std::max<std::int64_t>(0, base + offset);
  return pos_;
}

void TMemoryStream::SetSize(std::int64_t size) {
  data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, size)));
  pos_ = std::min(pos_, Size());
}

void TMemoryStream::Clear() {
  data_.clear();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const std::int64_t size = source.Size();
  SetSize(size);
  pos_ = 0;
  if (size) source.ReadBuffer(data_.data(), size);
}

void TMemoryStream::SaveToStream(TStream& dest) {
  if (!data_.empty()) dest.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& utf8Path) {
  TFileStream file(utf8Path, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& utf8Path) {
  TFileStream file(utf8Path, fmCreate);
  SaveToStream(file);
}

// --- TFileStream ------------------------------------------------------------

namespace {

std::string LastErrorText() {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, ::GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring msg = n && text ? std::wstring(text, n) : std::wstring();
  if (text) ::LocalFree(text);
  while (!msg.empty() && (msg.back() == L'\n' || msg.back() == L'\r' || msg.back() == L' ')) msg.pop_back();
  return WideToUtf8(msg);
}

}  // namespace

TFileStream::TFileStream(const std::string& utf8Path, std::uint16_t mode) : TFileStream(Utf8ToWide(utf8Path), mode) {}

TFileStream::TFileStream(const std::wstring& path, std::uint16_t mode) : path_(path) {
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (mode & 0xF0) {
    case fmShareExclusive: share = 0; break;
    case fmShareDenyWrite: share = FILE_SHARE_READ; break;
    default: break;
  }
  if ((mode & fmCreate) == fmCreate) {
    file_ = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE)
      throw EFCreateError("Cannot create file \"" + WideToUtf8(path) + "\". " + LastErrorText());
    return;
  }
  const DWORD access = (mode & 3) == fmOpenWrite       ? GENERIC_WRITE
                       : (mode & 3) == fmOpenReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                       : GENERIC_READ;
  file_ = ::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE)
    throw EFOpenError("Cannot open file \"" + WideToUtf8(path) + "\". " + LastErrorText());
}

TFileStream::~TFileStream() {
  if (file_ != INVALID_HANDLE_VALUE) ::CloseHandle(file_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  auto* p = static_cast<std::uint8_t*>(buffer);
  while (done < count) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 30));
    if (!::ReadFile(file_, p + done, chunk, &n, nullptr) || n == 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  const auto* p = static_cast<const std::uint8_t*>(buffer);
  while (done < count) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count - done, 1 << 30));
    if (!::WriteFile(file_, p + done, chunk, &n, nullptr) || n == 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  const DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
  if (!::SetFilePointerEx(file_, distance, &result, method)) return -1;
  return result.QuadPart;
}

void TFileStream::SetSize(std::int64_t size) {
  const std::int64_t pos = Position();
  Seek(size, soBeginning);
  if (!::SetEndOfFile(file_)) throw EStreamError("Cannot set the size of \"" + WideToUtf8(path_) + "\"");
  Seek(std::min(pos, size), soBeginning);
}

// --- TWriter ----------------------------------------------------------------

namespace {

constexpr char kSignature[4] = {'T', 'P', 'F', '0'};

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(std::wstring_view s) {
  return std::all_of(s.begin(), s.end(), [](wchar_t c) { return c < 0x80; });
}

}  // namespace

void TWriter::WriteSignature() { stream_.WriteBuffer(kSignature, 4); }

void TWriter::WriteRootComponent(TComponent* root) {
  root_ = root;
  WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  component->SetComponentState(component->ComponentState() + TComponentState{csWriting});
  try {
    component->WriteState(*this);
  } catch (...) {
    component->SetComponentState(component->ComponentState() - TComponentState{csWriting});
    throw;
  }
  component->SetComponentState(component->ComponentState() - TComponentState{csWriting});
}

void TWriter::WriteData(TComponent* component) {
  WriteStr(component->ClassName());
  WriteStr(component->Name());
  WriteProperties(component);
  WriteListEnd();
  component->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* instance) {
  for (const PropInfo* prop : instance->ClassType().Properties()) WriteProperty(instance, *prop);
  instance->DefineProperties(*this);
}

void TWriter::WritePropName(const std::string& name) { WriteStr(propPath_ + name); }

std::string TWriter::ReferenceName(TComponent* component) const {
  if (component == root_ || component->Owner() == root_ || !component->Owner()) return component->Name();
  return component->Owner()->Name() + "." + component->Name();
}

void TWriter::WriteProperty(TPersistent* instance, const PropInfo& prop) {
  if (!prop.stored) return;
  // Read-only properties are streamed only when they hold a sub-object.
  switch (prop.kind) {
    case TypeKind::Integer:
    case TypeKind::Boolean:
    case TypeKind::Enumeration:
    case TypeKind::Set: {
      if (prop.IsReadOnly()) return;
      const std::int64_t v = std::get<std::int64_t>(prop.get(*instance));
      if (prop.defaultOrd && *prop.defaultOrd == v) return;
      WritePropName(prop.name);
      if (prop.kind == TypeKind::Integer) {
        WriteInteger(v);
      } else if (prop.kind == TypeKind::Boolean) {
        WriteBoolean(v != 0);
      } else if (prop.kind == TypeKind::Enumeration) {
        WriteIdent(v >= 0 && v < static_cast<std::int64_t>(prop.enumInfo->names.size())
                       ? prop.enumInfo->names[static_cast<std::size_t>(v)]
                       : IntToStr(v));
      } else {
        WriteValue(vaSet);
        for (std::size_t i = 0; i < prop.enumInfo->names.size() && i < 64; ++i)
          if (v & (std::int64_t{1} << i)) WriteStr(prop.enumInfo->names[i]);
        WriteStr("");
      }
      return;
    }
    case TypeKind::String: {
      if (prop.IsReadOnly()) return;
      const std::string s = std::get<std::string>(prop.get(*instance));
      if (s.empty()) return;
      WritePropName(prop.name);
      WriteString(s);
      return;
    }
    case TypeKind::WString: {
      if (prop.IsReadOnly()) return;
      const std::wstring s = std::get<std::wstring>(prop.get(*instance));
      if (s.empty()) return;
      WritePropName(prop.name);
      WriteWideString(s);
      return;
    }
    case TypeKind::Method: {
      TNotifyEvent* event = prop.event ? prop.event(*instance) : nullptr;
      if (!event || !*event || !event->IsBound()) return;
      // Only handlers that are published methods of the root have a name.
      if (event->Object() != static_cast<const void*>(root_) || !root_) return;
      const MethodInfo* m = root_->ClassType().FindMethod(event->Method());
      if (!m) return;
      WritePropName(prop.name);
      WriteIdent(m->name);
      return;
    }
    case TypeKind::Class: {
      TObject* value = std::get<TObject*>(prop.get(*instance));
      if (!value) return;
      if (auto* component = dynamic_cast<TComponent*>(value)) {
        if (prop.IsReadOnly()) return;
        WritePropName(prop.name);
        WriteIdent(ReferenceName(component));
      } else if (auto* collection = dynamic_cast<TCollection*>(value)) {
        if (collection->Count() == 0) return;  // lists are written only when they hold something
        WritePropName(prop.name);
        WriteCollection(collection);
      } else if (auto* persistent = dynamic_cast<TPersistent*>(value)) {
        const std::string saved = propPath_;
        propPath_ += prop.name + ".";
        try {
          WriteProperties(persistent);
        } catch (...) {
          propPath_ = saved;
          throw;
        }
        propPath_ = saved;
      }
      return;
    }
  }
}

void TWriter::WriteValue(TValueType value) { stream_.WriteBuffer(&value, 1); }

void TWriter::WriteInteger(std::int64_t value) {
  if (value >= -128 && value <= 127) {
    WriteValue(vaInt8);
    const auto v = static_cast<std::int8_t>(value);
    stream_.WriteBuffer(&v, 1);
  } else if (value >= -32768 && value <= 32767) {
    WriteValue(vaInt16);
    const std::uint16_t v = static_cast<std::uint16_t>(value);
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    stream_.WriteBuffer(b, 2);
  } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
    WriteValue(vaInt32);
    const std::uint32_t v = static_cast<std::uint32_t>(value);
    std::uint8_t b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    stream_.WriteBuffer(b, 4);
  } else {
    WriteValue(vaInt64);
    const std::uint64_t v = static_cast<std::uint64_t>(value);
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(v >> (8 * i));
    stream_.WriteBuffer(b, 8);
  }
}

namespace {

void WriteLength(TStream& stream, std::size_t length) {
  const std::uint32_t v = static_cast<std::uint32_t>(length);
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  stream.WriteBuffer(b, 4);
}

}  // namespace

void TWriter::WriteString(const std::string& utf8) {
  if (!IsAscii(utf8)) {
    WriteValue(vaUTF8String);
    WriteLength(stream_, utf8.size());
  } else if (utf8.size() <= 255) {
    WriteValue(vaString);
    const auto n = static_cast<std::uint8_t>(utf8.size());
    stream_.WriteBuffer(&n, 1);
  } else {
    WriteValue(vaLString);
    WriteLength(stream_, utf8.size());
  }
  stream_.WriteBuffer(utf8.data(), static_cast<std::int64_t>(utf8.size()));
}

void TWriter::WriteWideString(const std::wstring& text) {
  if (IsAscii(text)) {
    WriteString(WideToUtf8(text));
    return;
  }
  WriteValue(vaWString);
  WriteLength(stream_, text.size());
  for (wchar_t c : text) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)};
    stream_.WriteBuffer(b, 2);
  }
}

void TWriter::WriteIdent(const std::string& ident) {
  if (SameTextAscii(ident, "False")) return WriteValue(vaFalse);
  if (SameTextAscii(ident, "True")) return WriteValue(vaTrue);
  if (SameTextAscii(ident, "nil")) return WriteValue(vaNil);
  if (SameTextAscii(ident, "Null")) return WriteValue(vaNull);
  WriteValue(vaIdent);
  WriteStr(ident);
}

void TWriter::WriteStr(const std::string& shortString) {
  const std::size_t n = std::min<std::size_t>(shortString.size(), 255);
  const auto len = static_cast<std::uint8_t>(n);
  stream_.WriteBuffer(&len, 1);
  stream_.WriteBuffer(shortString.data(), static_cast<std::int64_t>(n));
}

void TWriter::WriteCollection(TCollection* collection) {
  WriteValue(vaCollection);
  const std::string saved = propPath_;
  propPath_.clear();
  for (int i = 0; i < collection->Count(); ++i) {
    WriteListBegin();
    WriteProperties(collection->Items(i));
    WriteListEnd();
  }
  propPath_ = saved;
  WriteListEnd();
}

void TWriter::WriteBinary(const std::function<void(TStream&)>& write) {
  TMemoryStream data;
  write(data);
  WriteValue(vaBinary);
  WriteLength(stream_, static_cast<std::size_t>(data.Size()));
  data.SaveToStream(stream_);
}

void TWriter::DefineProperty(const std::string& name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& write, bool hasData) {
  if (!hasData || !write) return;
  WritePropName(name);
  write(*this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& write, bool hasData) {
  if (!hasData || !write) return;
  WritePropName(name);
  WriteBinary(write);
}

// --- TReader ----------------------------------------------------------------

TReader::~TReader() = default;

std::uint8_t TReader::ReadByte() {
  std::uint8_t b;
  stream_.ReadBuffer(&b, 1);
  return b;
}

std::int32_t TReader::ReadInt32() {
  std::uint8_t b[4];
  stream_.ReadBuffer(b, 4);
  return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

void TReader::ReadSignature() {
  char sig[4];
  stream_.ReadBuffer(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) throw EReadError("Invalid stream format");
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(ReadByte()); }

TValueType TReader::NextValue() {
  const TValueType v = ReadValue();
  stream_.Seek(-1, soCurrent);
  return v;
}

void TReader::ReadListBegin() {
  if (ReadValue() != vaList) PropertyError("Invalid property value");
}

void TReader::ReadListEnd() {
  if (ReadValue() != vaNull) PropertyError("Invalid property value");
}

std::int64_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8: return static_cast<std::int8_t>(ReadByte());
    case vaInt16: {
      const std::uint8_t lo = ReadByte(), hi = ReadByte();
      return static_cast<std::int16_t>(lo | (hi << 8));
    }
    case vaInt32: return ReadInt32();
    case vaInt64: {
      std::uint8_t b[8];
      stream_.ReadBuffer(b, 8);
      std::uint64_t v = 0;
      for (int i = 7; i >= 0; --i) v = (v << 8) | b[i];
      return static_cast<std::int64_t>(v);
    }
    default: PropertyError("Invalid property value");
  }
}

bool TReader::ReadBoolean() {
  const TValueType v = ReadValue();
  if (v != vaTrue && v != vaFalse) PropertyError("Invalid property value");
  return v == vaTrue;
}

std::string TReader::ReadStr() {
  const std::uint8_t n = ReadByte();
  std::string s(n, '\0');
  stream_.ReadBuffer(s.data(), n);
  return s;
}

std::wstring TReader::ReadWideString() {
  const TValueType v = ReadValue();
  if (v == vaWString) {
    const std::int32_t n = ReadInt32();
    if (n < 0 || n > stream_.Size() - stream_.Position()) PropertyError("Invalid property value");
    std::wstring s(static_cast<std::size_t>(n), L'\0');
    for (auto& c : s) {
      const std::uint8_t lo = ReadByte(), hi = ReadByte();
      c = static_cast<wchar_t>(lo | (hi << 8));
    }
    return s;
  }
  stream_.Seek(-1, soCurrent);
  if (v == vaUTF8String) return Utf8ToWide(ReadString());
  // 8-bit strings of the stream are single-byte characters.
  const std::string bytes = ReadString();
  return Latin1ToWide(bytes);
}

std::string TReader::ReadString() {
  const TValueType v = ReadValue();
  std::int64_t n = 0;
  switch (v) {
    case vaString: n = ReadByte(); break;
    case vaLString:
    case vaUTF8String: n = ReadInt32(); break;
    case vaWString: {
      stream_.Seek(-1, soCurrent);
      return WideToUtf8(ReadWideString());
    }
    default: PropertyError("Invalid property value");
  }
  if (n < 0 || n > stream_.Size() - stream_.Position()) PropertyError("Invalid property value");
  std::string s(static_cast<std::size_t>(n), '\0');
  stream_.ReadBuffer(s.data(), n);
  if (v != vaUTF8String && !IsAscii(s)) return WideToUtf8(Latin1ToWide(s));
  return s;
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: PropertyError("Invalid property value");
  }
}

void TReader::SkipValue() {
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: return;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    case vaInt8: stream_.Seek(1, soCurrent); return;
    case vaInt16: stream_.Seek(2, soCurrent); return;
    case vaInt32:
    case vaSingle: stream_.Seek(4, soCurrent); return;
    case vaInt64:
    case vaDouble:
    case vaDate:
    case vaCurrency: stream_.Seek(8, soCurrent); return;
    case vaExtended: stream_.Seek(10, soCurrent); return;
    case vaString:
    case vaIdent: stream_.Seek(ReadByte(), soCurrent); return;
    case vaLString:
    case vaUTF8String:
    case vaBinary: stream_.Seek(ReadInt32(), soCurrent); return;
    case vaWString: stream_.Seek(std::int64_t{2} * ReadInt32(), soCurrent); return;
    case vaSet:
      while (!ReadStr().empty()) {
      }
      return;
    case vaCollection:
      while (!EndOfList()) {
        if (NextValue() != vaList) SkipValue();  // order index
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      return;
    default: PropertyError("Invalid property value");
  }
}

void TReader::PropertyError(const std::string& what) {
  throw EReadError(propName_.empty() ? what : "Error reading " + propName_ + ": " + what);
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  ReadSignature();
  std::uint8_t prefix = ReadByte();
  if ((prefix & 0xF0) == 0xF0) {
    if (prefix & 0x02) ReadInteger();  // child position
  } else {
    stream_.Seek(-1, soCurrent);
  }
  const std::string className = ReadStr();
  const std::string name = ReadStr();
  bool created = false;
  if (!root) {
    const TClass* cls = FindClass(className);
    if (!cls || !cls->componentFactory) throw EClassNotFound("Class " + className + " not found");
    root = CreateStreamed(*cls, nullptr);
    created = true;
  }
  root_ = root;
  TReader* const outer = std::exchange(active_, this);
  try {
    root->SetLoading(true);
    root->SetComponentState(root->ComponentState() + TComponentState{csReading});
    root->SetName(name);
    loaded_.push_back(root);
    ReadProperties(root);
    while (!EndOfList()) ReadComponent(root);
    ReadListEnd();
    FixupReferences();
    active_ = outer;
    for (TComponent* c : loaded_) c->SetComponentState(c->ComponentState() - TComponentState{csReading});
    for (TComponent* c : loaded_) c->Loaded();
  } catch (...) {
    active_ = outer;
    for (TComponent* c : loaded_) c->SetComponentState(c->ComponentState() - TComponentState{csReading, csLoading});
    if (created) TObject::Free(root);
    throw;
  }
  return root;
}

thread_local TReader* TReader::active_ = nullptr;

TComponent* TReader::CreateStreamed(const TClass& cls, TComponent* owner) {
  TComponent::nextIsStreamed_ = true;
  TComponent* component = nullptr;
  try {
    component = cls.componentFactory(owner);
  } catch (...) {
    TComponent::nextIsStreamed_ = false;
    throw;
  }
  TComponent::nextIsStreamed_ = false;
  return component;
}

void TReader::ReadData(TComponent* component) {
  ReadProperties(component);
  while (!EndOfList()) ReadComponent(component);
  ReadListEnd();
}

TComponent* TReader::ReadComponent(TComponent* parent) {
  std::uint8_t prefix = ReadByte();
  if ((prefix & 0xF0) == 0xF0) {
    if (prefix & 0x02) ReadInteger();
  } else {
    stream_.Seek(-1, soCurrent);
  }
  const std::string className = ReadStr();
  const std::string name = ReadStr();
  const TClass* cls = FindClass(className);
  if (!cls || !cls->componentFactory) throw EClassNotFound("Class " + className + " not found");
  TComponent* component = CreateStreamed(*cls, root_);
  try {
    component->SetLoading(true);
    component->SetComponentState(component->ComponentState() + TComponentState{csReading});
    component->SetName(name);
    if (component->HasParent()) component->SetParentComponent(parent);
    loaded_.push_back(component);
    component->ReadState(*this);
  } catch (...) {
    loaded_.erase(std::remove(loaded_.begin(), loaded_.end(), component), loaded_.end());
    TObject::Free(component);
    throw;
  }
  return component;
}

void TReader::ReadProperties(TPersistent* instance) {
  while (!EndOfList()) ReadProperty(instance);
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* instance) {
  propName_ = ReadStr();
  // "Font.Name": walk the sub-objects down to the last part.
  TPersistent* target = instance;
  std::string rest = propName_;
  for (std::size_t dot; (dot = rest.find('.')) != std::string::npos;) {
    const PropInfo* sub = target->ClassType().FindProperty(rest.substr(0, dot));
    TObject* obj = sub && sub->kind == TypeKind::Class ? std::get<TObject*>(sub->get(*target)) : nullptr;
    auto* persistent = dynamic_cast<TPersistent*>(obj);
    if (!persistent) PropertyError("Property " + rest.substr(0, dot) + " does not exist");
    target = persistent;
    rest = rest.substr(dot + 1);
  }
  if (const PropInfo* prop = target->ClassType().FindProperty(rest)) {
    ReadPropValue(target, *prop);
  } else {
    // A defined property: the class's DefineProperties reads it.
    const std::string wanted = propName_;
    propName_ = rest;
    propFound_ = false;
    target->DefineProperties(*this);
    propName_ = wanted;
    if (!propFound_) PropertyError("Property " + rest + " does not exist");
  }
  propName_.clear();
}

void TReader::ReadPropValue(TPersistent* instance, const PropInfo& prop) {
  switch (prop.kind) {
    case TypeKind::Integer:
      if (prop.set) prop.set(*instance, ReadInteger());
      else SkipValue();
      return;
    case TypeKind::Boolean:
      if (prop.set) prop.set(*instance, std::int64_t{ReadBoolean()});
      else SkipValue();
      return;
    case TypeKind::Enumeration: {
      const std::string ident = ReadIdent();
      const int v = prop.enumInfo->IndexOf(ident);
      if (v < 0) PropertyError("Invalid property value");
      if (prop.set) prop.set(*instance, std::int64_t{v});
      return;
    }
    case TypeKind::Set: {
      if (ReadValue() != vaSet) PropertyError("Invalid property value");
      std::int64_t bits = 0;
      for (std::string e = ReadStr(); !e.empty(); e = ReadStr()) {
        const int v = prop.enumInfo->IndexOf(e);
        if (v < 0 || v >= 64) PropertyError("Invalid property value");
        bits |= std::int64_t{1} << v;
      }
      if (prop.set) prop.set(*instance, bits);
      return;
    }
    case TypeKind::String: {
      std::string s = ReadString();
      if (prop.set) prop.set(*instance, std::move(s));
      return;
    }
    case TypeKind::WString: {
      std::wstring s = ReadWideString();
      if (prop.set) prop.set(*instance, std::move(s));
      return;
    }
    case TypeKind::Method: {
      const std::string name = ReadIdent();
      TNotifyEvent* event = prop.event ? prop.event(*instance) : nullptr;
      if (!event) return;
      if (name == "nil" || name == "Null") {
        *event = nullptr;
        return;
      }
      const MethodInfo* m = root_ ? root_->ClassType().FindMethod(name) : nullptr;
      if (!m) PropertyError("Method " + name + " not found");
      *event = m->bind(*root_);
      return;
    }
    case TypeKind::Class: {
      const TValueType next = NextValue();
      if (next == vaCollection) {
        auto* collection = dynamic_cast<TCollection*>(std::get<TObject*>(prop.get(*instance)));
        if (!collection) PropertyError("Invalid property value");
        ReadCollection(collection);
      } else if (next == vaIdent || next == vaNil) {
        const std::string name = ReadIdent();
        if (name == "nil") {
          if (prop.set) prop.set(*instance, static_cast<TObject*>(nullptr));
        } else {
          fixups_.push_back({instance, &prop, name});
        }
      } else {
        PropertyError("Invalid property value");
      }
      return;
    }
  }
}

void TReader::ReadCollection(TCollection* collection) {
  if (ReadValue() != vaCollection) PropertyError("Invalid property value");
  const std::string saved = propName_;
  collection->BeginUpdate();
  try {
    collection->Clear();
    while (!EndOfList()) {
      if (NextValue() != vaList) ReadInteger();  // order index
      ReadListBegin();
      TCollectionItem* item = collection->Add();
      ReadProperties(item);
      propName_ = saved;
    }
    ReadListEnd();
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

void TReader::FixupReferences() {
  for (const Fixup& f : fixups_) {
    TComponent* target = nullptr;
    const std::size_t dot = f.name.find('.');
    if (dot == std::string::npos) {
      target = SameTextAscii(f.name, root_->Name()) ? root_ : root_->FindComponent(f.name);
    } else if (SameTextAscii(f.name.substr(0, dot), root_->Name())) {
      target = root_->FindComponent(f.name.substr(dot + 1));
    }
    if (!target) throw EReadError("Unresolved reference to " + f.name);
    if (f.prop->set) SetObjectProp(f.instance, f.prop, target);
  }
  fixups_.clear();
}

void TReader::DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                             const std::function<void(TWriter&)>&, bool) {
  if (propFound_ || !read || !SameTextAscii(name, propName_)) return;
  propFound_ = true;
  read(*this);
}

void TReader::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                                   const std::function<void(TStream&)>&, bool) {
  if (propFound_ || !read || !SameTextAscii(name, propName_)) return;
  propFound_ = true;
  if (ReadValue() != vaBinary) PropertyError("Invalid property value");
  const std::int32_t size = ReadInt32();
  if (size < 0 || size > stream_.Size() - stream_.Position()) PropertyError("Invalid property value");
  TMemoryStream data;
  data.SetSize(size);
  if (size) stream_.ReadBuffer(data.Memory(), size);
  data.SetPosition(0);
  read(data);
}

}  // namespace nuvskin
