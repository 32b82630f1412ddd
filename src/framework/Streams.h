// Streams (memory and file) and the binary form stream: components written
// and read with their published properties, defined properties, owned
// components and collections, in the classic tagged layout.
#pragma once

#include "framework/Win32.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Classes.h"

namespace nuvskin {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
  NUV_CLASS(TStream, TObject)
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size) = 0;
  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }

  // Read or write exactly `count` bytes, or raise EReadError/EWriteError.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies `count` bytes from the source's position, or with count 0 the
  // whole source from its start. Returns the bytes copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

  // A component and what it owns, with the stream signature.
  void WriteComponent(TComponent* instance);
  // Reads into `instance` (or creates the streamed class when nullptr).
  TComponent* ReadComponent(TComponent* instance);
};

class TMemoryStream : public TStream {
  NUV_CLASS(TMemoryStream, TStream)
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  void SetSize(std::int64_t size) override;

  std::uint8_t* Memory() { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  void Clear();
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest);
  void LoadFromFile(const std::string& utf8Path);
  void SaveToFile(const std::string& utf8Path);

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t pos_ = 0;
};

// File open modes: one access mode combined with one share mode, or fmCreate.
inline constexpr std::uint16_t fmCreate = 0xFF00;
inline constexpr std::uint16_t fmOpenRead = 0x0000;
inline constexpr std::uint16_t fmOpenWrite = 0x0001;
inline constexpr std::uint16_t fmOpenReadWrite = 0x0002;
inline constexpr std::uint16_t fmShareExclusive = 0x0010;
inline constexpr std::uint16_t fmShareDenyWrite = 0x0020;
inline constexpr std::uint16_t fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
  NUV_CLASS(TFileStream, TStream)
  // Raises EFOpenError or EFCreateError with the file name and the reason.
  TFileStream(const std::wstring& path, std::uint16_t mode);
  TFileStream(const std::string& utf8Path, std::uint16_t mode);
  ~TFileStream() override;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  const std::wstring& FileName() const { return path_; }

 private:
  std::wstring path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

// Value tags of the form stream.
enum TValueType : std::uint8_t {
  vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
  vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
  vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19, vaUTF8String = 20, vaDouble = 21,
};

class TFiler : public TObject {
  NUV_CLASS(TFiler, TObject)
  explicit TFiler(TStream& stream) : stream_(stream) {}
  TComponent* Root() const { return root_; }

  // Properties a class streams besides its published ones.
  virtual void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                              const std::function<void(TWriter&)>& write, bool hasData) = 0;
  // Raw bytes: tag 0x0A, a 32-bit little-endian length, the bytes.
  virtual void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                                    const std::function<void(TStream&)>& write, bool hasData) = 0;

 protected:
  TStream& stream_;
  TComponent* root_ = nullptr;
};

class TWriter : public TFiler {
  NUV_CLASS(TWriter, TFiler)
  using TFiler::TFiler;

  void WriteSignature();
  // Signature, then the root with everything it owns.
  void WriteRootComponent(TComponent* root);
  void WriteComponent(TComponent* component);
  // Class name, name, properties, children (used by TComponent::WriteState).
  void WriteData(TComponent* component);
  void WriteProperties(TPersistent* instance);

  void WriteValue(TValueType value);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WriteInteger(std::int64_t value);
  void WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }
  void WriteString(const std::string& utf8);
  void WriteWideString(const std::wstring& text);
  void WriteIdent(const std::string& ident);
  void WriteStr(const std::string& shortString);  // length byte and up to 255 bytes
  void WriteCollection(TCollection* collection);
  void WriteBinary(const std::function<void(TStream&)>& write);

  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                      const std::function<void(TWriter&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                            const std::function<void(TStream&)>& write, bool hasData) override;

 private:
  void WriteProperty(TPersistent* instance, const PropInfo& prop);
  void WritePropName(const std::string& name);
  std::string ReferenceName(TComponent* component) const;
  std::string propPath_;
};

class TReader : public TFiler {
  NUV_CLASS(TReader, TFiler)
  using TFiler::TFiler;
  ~TReader() override;

  void ReadSignature();
  // Reads the root into `root` (or a new object of the streamed class),
  // resolves references and calls Loaded on everything read, in order.
  TComponent* ReadRootComponent(TComponent* root);
  // Properties and children of a component (used by TComponent::ReadState).
  void ReadData(TComponent* component);

  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList() { return NextValue() == vaNull; }
  void ReadListBegin();
  void ReadListEnd();
  std::int64_t ReadInteger();
  bool ReadBoolean();
  std::string ReadString();  // 8-bit (UTF-8)
  std::wstring ReadWideString();
  std::string ReadIdent();
  std::string ReadStr();
  void ReadCollection(TCollection* collection);
  void SkipValue();

  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                      const std::function<void(TWriter&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                            const std::function<void(TStream&)>& write, bool hasData) override;

 private:
  TComponent* ReadComponent(TComponent* parent);
  void ReadProperties(TPersistent* instance);
  void ReadProperty(TPersistent* instance);
  void ReadPropValue(TPersistent* instance, const PropInfo& prop);
  std::uint8_t ReadByte();
  std::int32_t ReadInt32();
  [[noreturn]] void PropertyError(const std::string& what);
  void FixupReferences();

  struct Fixup {
    TPersistent* instance;
    const PropInfo* prop;
    std::string name;
  };
  friend class TComponent;
  // Constructs a component of `cls` that this reader will call Loaded on.
  TComponent* CreateStreamed(const TClass& cls, TComponent* owner);
  // The reader whose root is being read on this thread.
  static thread_local TReader* active_;

  std::vector<Fixup> fixups_;
  std::vector<TComponent*> loaded_;
  std::string propName_;
  bool propFound_ = false;
};

}  // namespace nuvskin
