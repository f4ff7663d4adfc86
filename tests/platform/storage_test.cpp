// The memory storage: stream round trips, access modes and reference counts.
#include <gtest/gtest.h>

#include <string>

#include "qxcom.h"

namespace {

using qxcom::ComPtr;

std::string ReadAll(IStream* stream) {
  LARGE_INTEGER start{};
  EXPECT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
  std::string text(64, '\0');
  ULONG read = 0;
  EXPECT_EQ(stream->Read(text.data(), ULONG(text.size()), &read), S_OK);
  text.resize(read);
  return text;
}

TEST(MemoryStorage, StreamRoundTripThroughReopen) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(QxCreateMemoryStorage(storage.put()), S_OK);
  ComPtr<IStream> stream;
  ASSERT_EQ(storage->CreateStream(u"Data", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                  stream.put()),
            S_OK);
  ASSERT_EQ(stream->Write("hello world", 11, nullptr), S_OK);
  ComPtr<IStream> reopened;
  ASSERT_EQ(storage->OpenStream(u"data", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                reopened.put()),
            S_OK)
      << "names match without regard to letter case";
  EXPECT_EQ(ReadAll(reopened.get()), "hello world");
  STATSTG stat;
  ASSERT_EQ(reopened->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 11u);
  EXPECT_EQ(std::u16string(stat.pwcsName), u"Data") << "the stored spelling is reported";
  CoTaskMemFree(stat.pwcsName);
  EXPECT_EQ(reopened->Write("x", 1, nullptr), STG_E_ACCESSDENIED) << "opened read-only";
}

TEST(MemoryStorage, StreamsOutliveTheirStorage) {
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
  EXPECT_EQ(ReadAll(stream), "outlives its storage");
  EXPECT_EQ(stream->Release(), 0u);
}

}  // namespace
