// The memory storage: stream round trips, seeking and sizing, element
// management, enumeration, access modes and reference counts.
#include <gtest/gtest.h>

#include <string>

#include "qxcom.h"

namespace {

using qxcom::ComPtr;

constexpr DWORD kReadWrite = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

ComPtr<IStream> NewStream(IStorage* storage, const OLECHAR* name) {
  ComPtr<IStream> stream;
  EXPECT_EQ(storage->CreateStream(name, kReadWrite, 0, 0, stream.put()), S_OK);
  return stream;
}

// Seeks and returns the new position, or the failure's HRESULT as a number.
LONGLONG SeekTo(IStream* stream, LONGLONG offset, DWORD origin) {
  LARGE_INTEGER move;
  move.QuadPart = offset;
  ULARGE_INTEGER position;
  HRESULT hr = stream->Seek(move, origin, &position);
  return FAILED(hr) ? hr : LONGLONG(position.QuadPart);
}

std::string ReadAll(IStream* stream) {
  SeekTo(stream, 0, STREAM_SEEK_SET);
  std::string text(64, '\0');
  ULONG read = 0;
  EXPECT_EQ(stream->Read(text.data(), ULONG(text.size()), &read), S_OK);
  text.resize(read);
  return text;
}

// The name of a STATSTG record, which is then freed.
std::u16string TakeName(STATSTG& stat) {
  std::u16string name = stat.pwcsName ? stat.pwcsName : u"<null>";
  CoTaskMemFree(stat.pwcsName);
  return name;
}

class MemoryStorage : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(QxCreateMemoryStorage(storage_.put()), S_OK); }
  ComPtr<IStorage> storage_;
};

TEST_F(MemoryStorage, StreamRoundTripThroughReopen) {
  ASSERT_EQ(NewStream(storage_.get(), u"Data")->Write("hello world", 11, nullptr), S_OK);
  ComPtr<IStream> reopened;
  ASSERT_EQ(storage_->OpenStream(u"data", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                 reopened.put()),
            S_OK)
      << "names match without regard to letter case";
  EXPECT_EQ(ReadAll(reopened.get()), "hello world");
  STATSTG stat;
  ASSERT_EQ(reopened->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 11u);
  EXPECT_EQ(TakeName(stat), u"Data") << "the stored spelling is reported";
  ASSERT_EQ(reopened->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.pwcsName, nullptr);
  EXPECT_EQ(reopened->Stat(&stat, 7), STG_E_INVALIDFLAG);
  EXPECT_EQ(storage_->Stat(nullptr, STATFLAG_DEFAULT), STG_E_INVALIDPOINTER);
  EXPECT_EQ(reopened->Write("x", 1, nullptr), STG_E_ACCESSDENIED) << "opened read-only";
}

TEST_F(MemoryStorage, SeekSizeCloneAndCopy) {
  ComPtr<IStream> stream = NewStream(storage_.get(), u"s");
  ASSERT_EQ(stream->Write("abcdef", 6, nullptr), S_OK);
  EXPECT_EQ(SeekTo(stream.get(), -2, STREAM_SEEK_END), 4);
  EXPECT_EQ(SeekTo(stream.get(), -1, STREAM_SEEK_CUR), 3);
  EXPECT_EQ(SeekTo(stream.get(), -1, STREAM_SEEK_SET), STG_E_INVALIDFUNCTION) << "before the start";
  EXPECT_EQ(SeekTo(stream.get(), 0, 3), STG_E_INVALIDFUNCTION) << "unknown origin";
  EXPECT_EQ(SeekTo(stream.get(), 0x7FFFFFFFFFFFFFFFll, STREAM_SEEK_CUR), STG_E_INVALIDFUNCTION)
      << "an offset that overflows";
  EXPECT_EQ(SeekTo(stream.get(), 8, STREAM_SEEK_SET), 8) << "past the end is allowed";
  ASSERT_EQ(stream->Write("Z", 1, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream.get()), std::string("abcdef\0\0Z", 9)) << "the gap reads as zeros";
  ULARGE_INTEGER size;
  size.QuadPart = 3;
  ASSERT_EQ(stream->SetSize(size), S_OK);
  EXPECT_EQ(ReadAll(stream.get()), "abc");
  char buffer[4];
  ULONG read = 99;
  EXPECT_EQ(stream->Read(buffer, 4, &read), S_OK);
  EXPECT_EQ(read, 0u) << "reading at the end gives nothing, not an error";
  size.QuadPart = 1ull << 40;
  EXPECT_EQ(stream->SetSize(size), STG_E_MEDIUMFULL);

  SeekTo(stream.get(), 0, STREAM_SEEK_END);
  ComPtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.put()), S_OK);
  EXPECT_EQ(SeekTo(clone.get(), 0, STREAM_SEEK_CUR), 3) << "starts where the original is";
  ASSERT_EQ(clone->Write("d", 1, nullptr), S_OK);
  EXPECT_EQ(SeekTo(stream.get(), 0, STREAM_SEEK_CUR), 3) << "but moves on its own";
  ComPtr<IStream> copy = NewStream(storage_.get(), u"copy");
  SeekTo(stream.get(), 1, STREAM_SEEK_SET);
  ULARGE_INTEGER count, written;
  count.QuadPart = ~0ull;
  ASSERT_EQ(stream->CopyTo(copy.get(), count, nullptr, &written), S_OK);
  EXPECT_EQ(written.QuadPart, 3u);
  EXPECT_EQ(ReadAll(copy.get()), "bcd") << "the clone's write is in the shared bytes";
  EXPECT_EQ(SeekTo(stream.get(), 0x7FFFFFFF, STREAM_SEEK_SET), 0x7FFFFFFF);
  EXPECT_EQ(stream->Write("x", 1, nullptr), STG_E_MEDIUMFULL);
}

TEST(MemoryStorageReferences, StreamsOutliveTheirStorage) {
  IStorage* storage = nullptr;
  ASSERT_EQ(QxCreateMemoryStorage(&storage), S_OK);
  IStream* stream = nullptr;
  ASSERT_EQ(storage->CreateStream(u"s", STGM_READWRITE, 0, 0, &stream), S_OK);
  ISequentialStream* sequential = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&sequential)),
            S_OK);
  EXPECT_EQ(sequential->Release(), 1u);
  EXPECT_EQ(storage->Release(), 0u);
  ASSERT_EQ(stream->Write("outlives its storage", 20, nullptr), S_OK);
  EXPECT_EQ(stream->Release(), 0u);
}

TEST_F(MemoryStorage, ElementNamesAndCreateRules) {
  NewStream(storage_.get(), u"taken");
  struct Row { const char* why; const OLECHAR* name; DWORD mode; HRESULT expected; };
  const Row kRows[] = {
      {"null name", nullptr, STGM_READWRITE, STG_E_INVALIDNAME},
      {"32 characters is one too many", u"abcdefghijklmnopqrstuvwxyz012345", STGM_READWRITE,
       STG_E_INVALIDNAME},
      {"backslash is a path separator", u"a\\b", STGM_READWRITE, STG_E_INVALIDNAME},
      {"existing name without STGM_CREATE", u"TAKEN", STGM_READWRITE, STG_E_FILEALREADYEXISTS},
      {"existing name with STGM_CREATE replaces it", u"taken", STGM_READWRITE | STGM_CREATE, S_OK},
      {"access bits 3 are no mode", u"fresh", 3, STG_E_INVALIDFLAG},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.why);
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_EQ(storage_->CreateStream(row.name, row.mode, 0, 0, &stream), row.expected);
    EXPECT_EQ(stream == nullptr, FAILED(row.expected));
    if (stream != nullptr) stream->Release();
  }
  IStorage* child = reinterpret_cast<IStorage*>(1);
  EXPECT_EQ(storage_->CreateStorage(u"x", STGM_READWRITE, 1, 0, &child), STG_E_INVALIDPARAMETER);
  EXPECT_EQ(child, nullptr) << "cleared before the reserved arguments are checked";
  EXPECT_EQ(storage_->OpenStorage(u"x", nullptr, STGM_READ, nullptr, 0, nullptr),
            STG_E_INVALIDPOINTER);
}

TEST_F(MemoryStorage, SubStoragesEnumerationRenameAndDestroy) {
  ComPtr<IStream> stream = NewStream(storage_.get(), u"b-stream");
  ASSERT_EQ(stream->Write("1234", 4, nullptr), S_OK);
  ComPtr<IStorage> child;
  ASSERT_EQ(storage_->CreateStorage(u"a-child", STGM_READWRITE, 0, 0, child.put()), S_OK);
  NewStream(child.get(), u"inner");
  ASSERT_EQ(storage_->OpenStorage(u"a-child", nullptr, STGM_READ, nullptr, 0, child.put()), S_OK);
  ComPtr<IStream> inner;
  EXPECT_EQ(child->OpenStream(u"inner", nullptr, STGM_READWRITE, 0, inner.put()),
            STG_E_ACCESSDENIED)
      << "no more access than the parent was opened with";
  EXPECT_EQ(storage_->OpenStream(u"a-child", nullptr, STGM_READ, 0, inner.put()),
            STG_E_FILENOTFOUND)
      << "a storage is not a stream";

  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(storage_->EnumElements(0, nullptr, 0, elements.put()), S_OK);
  STATSTG stats[3];
  ULONG fetched = 0;
  EXPECT_EQ(elements->Next(3, stats, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(TakeName(stats[0]), u"a-child");
  EXPECT_EQ(stats[0].type, DWORD(STGTY_STORAGE));
  EXPECT_EQ(TakeName(stats[1]), u"b-stream");
  EXPECT_EQ(stats[1].cbSize.QuadPart, 4u);

  EXPECT_EQ(storage_->RenameElement(u"b-stream", u"A-CHILD"), STG_E_FILEALREADYEXISTS);
  ASSERT_EQ(storage_->RenameElement(u"b-stream", u"renamed"), S_OK);
  EXPECT_EQ(storage_->OpenStream(u"renamed", nullptr, STGM_READ, 0, inner.put()), S_OK);
  ASSERT_EQ(storage_->DestroyElement(u"renamed"), S_OK);
  EXPECT_EQ(storage_->DestroyElement(u"renamed"), STG_E_FILENOTFOUND);
  EXPECT_EQ(ReadAll(stream.get()), "1234") << "an open stream outlives its element";
}

}  // namespace
