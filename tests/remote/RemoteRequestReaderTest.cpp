// The request reader at the edge of its buffer: a payload of 1,480 bytes is
// read whole behind its header, one of 1,481 is read and dropped; either way
// the next request is read in step, however the bytes arrive.
#include "remote/server/RemoteRequestReader.h"

#include "support/ZuTest.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Hands out the bytes at most `chunk` at a time, as TCP may.
class ChunkSource : public RemoteRequestReader::Source {
public:
    ChunkSource(std::string bytes, size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
    long Read(uint8_t* buffer, size_t size) override
    {
        const size_t n = std::min({size, chunk_, bytes_.size() - at_});
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return static_cast<long>(n);
    }

private:
    std::string bytes_;
    size_t chunk_;
    size_t at_ = 0;
};

// A request header, little-endian: magic 12 CB 5A A5, type, command id,
// length, spare 0, item, value.
std::string Header(uint16_t type, uint16_t cmdId, uint16_t length, uint32_t item)
{
    std::string h;
    auto put = [&h](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(0xA55ACB12u, 4);
    put(type, 2);
    put(cmdId, 2);
    put(length, 2);
    put(0, 2);
    put(item, 4);
    put(0, 4);
    return h;
}

std::string Pattern(size_t size)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>(i % 251);
    return s;
}

} // namespace

using RemoteRequestReaderTest = ZuTest;

TEST_F(RemoteRequestReaderTest, PayloadOfTheWholeBufferIsReadAndOneByteMoreIsDropped)
{
    using Frame = RemoteRequestReader::Frame;
    const std::string stream = Header(6, 361, 1480, 0) + Pattern(1480) + Header(21, 371, 0, 5) +
                               Header(6, 361, 1481, 0) + Pattern(1481) + Header(21, 371, 0, 6);
    for (size_t chunk : {size_t {1}, size_t {7}, size_t {4096}}) {
        ChunkSource source(stream, chunk);
        RemoteRequestReader reader(source);
        RemoteMsgHeader request;
        ASSERT_EQ(reader.Next(request), Frame::kRequest) << chunk;
        EXPECT_EQ(request.length, 1480);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.Payload()), 1480), Pattern(1480)) << chunk;
        ASSERT_EQ(reader.Next(request), Frame::kRequest) << chunk;
        EXPECT_EQ(request.type, 21);
        EXPECT_EQ(request.item, 5u);
        ASSERT_EQ(reader.Next(request), Frame::kOversized) << chunk;
        EXPECT_EQ(request.length, 1481);
        ASSERT_EQ(reader.Next(request), Frame::kRequest) << chunk;
        EXPECT_EQ(request.item, 6u) << "in step after the dropped payload";
        EXPECT_EQ(reader.Next(request), Frame::kEnd);
    }
}
