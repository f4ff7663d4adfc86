// The memory storage: stream round trips, seeking and sizing, element
// management, enumeration, access modes and reference counts.
#include <gtest/gtest.h>

#include <string>

#include "qxcom.h"

namespace {

using qxcom::ComPtr;

ComPtr<IStorage> NewStorage() {
  ComPtr<IStorage> storage;
  EXPECT_EQ(QxCreateMemoryStorage(storage.put()), S_OK);
  return storage;
}

ComPtr<IStream> NewStream(IStorage* storage, const OLECHAR* name) {
  ComPtr<IStream> stream;
  EXPECT_EQ(storage->CreateStream(name, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put()),
            S_OK);
  return stream;
}

ULONGLONG SeekTo(IStream* stream, LONGLONG offset, DWORD origin) {
  LARGE_INTEGER move;
  move.QuadPart = offset;
  ULARGE_INTEGER position;
  position.QuadPart = ~0ull;
  EXPECT_EQ(stream->Seek(move, origin, &position), S_OK);
  return position.QuadPart;
}

std::string ReadAll(IStream* stream) {
  SeekTo(stream, 0, STREAM_SEEK_SET);
  std::string text(64, '\0');
  ULONG read = 0;
  EXPECT_EQ(stream->Read(text.data(), ULONG(text.size()), &read), S_OK);
  text.resize(read);
  return text;
}

std::u16string StatName(STATSTG& stat) {
  std::u16string name = stat.pwcsName ? stat.pwcsName : u"<null>";
  CoTaskMemFree(stat.pwcsName);
  return name;
}

TEST(MemoryStorage, StreamRoundTripThroughReopen) {
  ComPtr<IStorage> storage = NewStorage();
  {
    ComPtr<IStream> stream = NewStream(storage.get(), u"Data");
    ULONG written = 0;
    ASSERT_EQ(stream->Write("hello world", 11, &written), S_OK);
    EXPECT_EQ(written, 11u);
  }
  ComPtr<IStream> reopened;
  ASSERT_EQ(storage->OpenStream(u"data", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                reopened.put()),
            S_OK)
      << "names match without regard to letter case";
  EXPECT_EQ(ReadAll(reopened.get()), "hello world");
  STATSTG stat;
  ASSERT_EQ(reopened->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.type, DWORD(STGTY_STREAM));
  EXPECT_EQ(stat.cbSize.QuadPart, 11u);
  EXPECT_EQ(StatName(stat), u"Data") << "the stored spelling is reported";
  ASSERT_EQ(reopened->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.pwcsName, nullptr);
  EXPECT_EQ(reopened->Write("x", 1, nullptr), STG_E_ACCESSDENIED) << "opened read-only";
}

TEST(MemoryStream, SeekSizeAndWritePastTheEnd) {
  ComPtr<IStorage> storage = NewStorage();
  ComPtr<IStream> stream = NewStream(storage.get(), u"s");
  ASSERT_EQ(stream->Write("abcdef", 6, nullptr), S_OK);
  EXPECT_EQ(SeekTo(stream.get(), -2, STREAM_SEEK_END), 4u);
  EXPECT_EQ(SeekTo(stream.get(), -1, STREAM_SEEK_CUR), 3u);
  EXPECT_EQ(SeekTo(stream.get(), 8, STREAM_SEEK_SET), 8u) << "past the end is allowed";
  ASSERT_EQ(stream->Write("Z", 1, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream.get()), std::string("abcdef\0\0Z", 9)) << "the gap reads as zeros";

  ULARGE_INTEGER size;
  size.QuadPart = 3;
  ASSERT_EQ(stream->SetSize(size), S_OK);
  EXPECT_EQ(ReadAll(stream.get()), "abc");
  SeekTo(stream.get(), 10, STREAM_SEEK_SET);
  char buffer[4];
  ULONG read = 99;
  EXPECT_EQ(stream->Read(buffer, 4, &read), S_OK);
  EXPECT_EQ(read, 0u) << "reading past the end gives nothing, not an error";

  struct Row {
    const char* why;
    LONGLONG offset;
    DWORD origin;
  };
  const Row kBadSeeks[] = {
      {"before the start", -1, STREAM_SEEK_SET},
      {"before the start from the end", -4, STREAM_SEEK_END},
      {"unknown origin", 0, 3},
      {"offset that overflows", 0x7FFFFFFFFFFFFFFFll, STREAM_SEEK_CUR},
  };
  for (const Row& row : kBadSeeks) {
    SCOPED_TRACE(row.why);
    LARGE_INTEGER move;
    move.QuadPart = row.offset;
    EXPECT_EQ(stream->Seek(move, row.origin, nullptr), STG_E_INVALIDFUNCTION);
  }
  size.QuadPart = 1ull << 40;
  EXPECT_EQ(stream->SetSize(size), STG_E_MEDIUMFULL);
  EXPECT_EQ(SeekTo(stream.get(), 0x7FFFFFFF, STREAM_SEEK_SET), 0x7FFFFFFFu);
  EXPECT_EQ(stream->Write("x", 1, nullptr), STG_E_MEDIUMFULL);
}

TEST(MemoryStream, CloneSharesBytesButNotThePosition) {
  ComPtr<IStorage> storage = NewStorage();
  ComPtr<IStream> stream = NewStream(storage.get(), u"s");
  ASSERT_EQ(stream->Write("abc", 3, nullptr), S_OK);
  ComPtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.put()), S_OK);
  EXPECT_EQ(SeekTo(clone.get(), 0, STREAM_SEEK_CUR), 3u) << "starts where the original is";
  ASSERT_EQ(clone->Write("d", 1, nullptr), S_OK);
  EXPECT_EQ(SeekTo(stream.get(), 0, STREAM_SEEK_CUR), 3u);
  EXPECT_EQ(ReadAll(stream.get()), "abcd");

  ComPtr<IStream> copy = NewStream(storage.get(), u"copy");
  SeekTo(stream.get(), 1, STREAM_SEEK_SET);
  ULARGE_INTEGER count, read, written;
  count.QuadPart = ~0ull;
  ASSERT_EQ(stream->CopyTo(copy.get(), count, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 3u);
  EXPECT_EQ(written.QuadPart, 3u);
  EXPECT_EQ(ReadAll(copy.get()), "bcd");
}

TEST(MemoryStorage, ReferenceCountsAndInterfaces) {
  IStorage* storage = nullptr;
  ASSERT_EQ(QxCreateMemoryStorage(&storage), S_OK);
  EXPECT_EQ(storage->AddRef(), 2u);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(storage->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(storage));
  EXPECT_EQ(unknown->Release(), 2u);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(storage->QueryInterface(IID_IStream, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(storage->QueryInterface(IID_IStorage, nullptr), E_POINTER);

  IStream* stream = nullptr;
  ASSERT_EQ(storage->CreateStream(u"s", STGM_READWRITE, 0, 0, &stream), S_OK);
  ISequentialStream* sequential = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&sequential)),
            S_OK);
  EXPECT_EQ(sequential->Release(), 1u);
  EXPECT_EQ(storage->Release(), 1u);
  EXPECT_EQ(storage->Release(), 0u);
  ASSERT_EQ(stream->Write("outlives its storage", 20, nullptr), S_OK);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(QxCreateMemoryStorage(nullptr), E_INVALIDARG);
}

TEST(MemoryStorage, ElementNamesAndCreateRules) {
  ComPtr<IStorage> storage = NewStorage();
  NewStream(storage.get(), u"taken");
  struct Row {
    const char* why;
    const OLECHAR* name;
    DWORD mode;
    HRESULT expected;
  };
  const Row kRows[] = {
      {"null name", nullptr, STGM_READWRITE, STG_E_INVALIDNAME},
      {"empty name", u"", STGM_READWRITE, STG_E_INVALIDNAME},
      {"32 characters is one too many", u"abcdefghijklmnopqrstuvwxyz012345", STGM_READWRITE,
       STG_E_INVALIDNAME},
      {"backslash is a path separator", u"a\\b", STGM_READWRITE, STG_E_INVALIDNAME},
      {"exclamation mark is reserved", u"a!", STGM_READWRITE, STG_E_INVALIDNAME},
      {"existing name without STGM_CREATE", u"TAKEN", STGM_READWRITE, STG_E_FILEALREADYEXISTS},
      {"existing name with STGM_CREATE replaces it", u"taken", STGM_READWRITE | STGM_CREATE, S_OK},
      {"31 characters is the longest name", u"abcdefghijklmnopqrstuvwxyz01234", STGM_READWRITE,
       S_OK},
      {"access bits 3 are no mode", u"fresh", 3, STG_E_INVALIDFLAG},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(storage->CreateStream(row.name, row.mode, 0, 0, &stream), row.expected);
    EXPECT_EQ(stream == nullptr, FAILED(row.expected));
    if (stream != nullptr) stream->Release();
  }
}

TEST(MemoryStorage, SubStoragesEnumerationRenameAndDestroy) {
  ComPtr<IStorage> storage = NewStorage();
  ComPtr<IStream> stream = NewStream(storage.get(), u"b-stream");
  ASSERT_EQ(stream->Write("1234", 4, nullptr), S_OK);
  {
    ComPtr<IStorage> child;
    ASSERT_EQ(storage->CreateStorage(u"a-child", STGM_READWRITE, 0, 0, child.put()), S_OK);
    NewStream(child.get(), u"inner");
  }
  ComPtr<IStorage> child;
  ASSERT_EQ(storage->OpenStorage(u"a-child", nullptr, STGM_READ, nullptr, 0, child.put()), S_OK);
  ComPtr<IStream> inner;
  EXPECT_EQ(child->OpenStream(u"inner", nullptr, STGM_READWRITE, 0, inner.put()),
            STG_E_ACCESSDENIED)
      << "no more access than the parent was opened with";
  EXPECT_EQ(child->CreateStream(u"new", STGM_READWRITE, 0, 0, inner.put()), STG_E_ACCESSDENIED);
  EXPECT_EQ(storage->OpenStream(u"a-child", nullptr, STGM_READ, 0, inner.put()),
            STG_E_FILENOTFOUND)
      << "a storage is not a stream";

  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(storage->EnumElements(0, nullptr, 0, elements.put()), S_OK);
  STATSTG stats[3];
  ULONG fetched = 0;
  EXPECT_EQ(elements->Next(3, stats, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(StatName(stats[0]), u"a-child");
  EXPECT_EQ(stats[0].type, DWORD(STGTY_STORAGE));
  EXPECT_EQ(StatName(stats[1]), u"b-stream");
  EXPECT_EQ(stats[1].cbSize.QuadPart, 4u);
  EXPECT_EQ(elements->Next(2, stats, nullptr), STG_E_INVALIDPARAMETER);
  ASSERT_EQ(elements->Reset(), S_OK);
  EXPECT_EQ(elements->Skip(1), S_OK);
  ComPtr<IEnumSTATSTG> clone;
  ASSERT_EQ(elements->Clone(clone.put()), S_OK);
  ASSERT_EQ(clone->Next(1, stats, nullptr), S_OK);
  EXPECT_EQ(StatName(stats[0]), u"b-stream") << "a clone keeps the position";
  EXPECT_EQ(elements->Skip(5), S_FALSE);

  EXPECT_EQ(storage->RenameElement(u"b-stream", u"A-CHILD"), STG_E_FILEALREADYEXISTS);
  ASSERT_EQ(storage->RenameElement(u"b-stream", u"renamed"), S_OK);
  EXPECT_EQ(storage->OpenStream(u"renamed", nullptr, STGM_READ, 0, inner.put()), S_OK);
  EXPECT_EQ(ReadAll(inner.get()), "1234");
  ASSERT_EQ(storage->DestroyElement(u"renamed"), S_OK);
  EXPECT_EQ(storage->DestroyElement(u"renamed"), STG_E_FILENOTFOUND);
  EXPECT_EQ(storage->OpenStream(u"renamed", nullptr, STGM_READ, 0, inner.put()),
            STG_E_FILENOTFOUND);
  EXPECT_EQ(ReadAll(stream.get()), "1234") << "an open stream outlives its element";
}

TEST(MemoryStorage, StatClassStateBitsAndUnsupportedCalls) {
  ComPtr<IStorage> storage = NewStorage();
  const CLSID kClass = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  ASSERT_EQ(storage->SetClass(kClass), S_OK);
  ASSERT_EQ(storage->SetStateBits(0xF0, 0xFF), S_OK);
  ASSERT_EQ(storage->SetStateBits(0x0F, 0x30), S_OK) << "only masked bits change";
  STATSTG stat;
  ASSERT_EQ(storage->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(StatName(stat), u"") << "the root has an empty name";
  EXPECT_EQ(stat.type, DWORD(STGTY_STORAGE));
  EXPECT_EQ(stat.clsid, kClass);
  EXPECT_EQ(stat.grfStateBits, 0xC0u);
  EXPECT_EQ(storage->Stat(&stat, 7), STG_E_INVALIDFLAG);
  EXPECT_EQ(storage->Commit(STGC_DEFAULT), S_OK);
  EXPECT_EQ(storage->Revert(), S_OK);
  EXPECT_EQ(storage->CopyTo(0, nullptr, nullptr, storage.get()), STG_E_UNIMPLEMENTEDFUNCTION);
  EXPECT_EQ(storage->MoveElementTo(u"x", storage.get(), u"y", 0), STG_E_UNIMPLEMENTEDFUNCTION);
  EXPECT_EQ(storage->SetElementTimes(u"x", nullptr, nullptr, nullptr),
            STG_E_UNIMPLEMENTEDFUNCTION);
}

}  // namespace
