// The walk over the host's resource data: what it hands over, where it stops,
// and that it never reads outside the data.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "fileinfo/ResourceWalk.h"
#include "tests/fileinfo/FileInfoBytes.h"

namespace {

using Events = std::vector<std::string>;

// "[" for each File Info block entered, "number:data" for each dataset.
Events Walk(const uint8_t *data, int32_t size) {
    Events events;
    const FileInfoVisitor visitor = {
        &events, [](void *context) { static_cast<Events *>(context)->push_back("["); },
        [](void *context, uint8_t dataset, const uint8_t *bytes, uint32_t length) {
            static_cast<Events *>(context)->push_back(std::to_string(dataset) + ":" +
                                                      std::string(bytes, bytes + length));
            return true;
        }};
    WalkImageResources(data, size, visitor);
    return events;
}

// Walks a copy in a heap buffer of exactly the data's size.
Events WalkExact(const Bytes &bytes, size_t size) {
    std::unique_ptr<uint8_t[]> data(new uint8_t[size]);
    std::copy(bytes.begin(), bytes.begin() + size, data.get());
    return Walk(data.get(), int32_t(size));
}

Events WalkExact(const Bytes &bytes) { return WalkExact(bytes, bytes.size()); }

const Bytes kCity = Dataset(90, Text("Rome"));
const Bytes kInfo = Resource(0x0404, kCity);
const Bytes kOther = Resource(0x03ED, Text("odd"), "abc");
const std::string kLong(300, 'L');

}  // namespace

TEST(ResourceWalk, HandsOverDatasetsUntilTheDataStopsMakingSense) {
    const struct {
        const char *name;
        Bytes data;
        Events events;
    } cases[] = {
        {"not 8BIM", Join({Text("8BIN"), kInfo}), {}},
        {"empty File Info block, walk goes on", Join({Resource(0x0404, {}), kInfo}), {"[", "[", "90:Rome"}},
        {"size past the end", Join({kInfo, Bytes(kInfo.begin(), kInfo.end() - 1)}), {"[", "90:Rome"}},
        {"named block before File Info", Join({kOther, kInfo}), {"[", "90:Rome"}},
        {"two File Info blocks, the first odd and unpadded", Join({kInfo, Resource(0x0404, Dataset(85, Text("T")))}),
         {"[", "90:Rome", "[", "85:T"}},
        {"record 1 ends the whole walk",
         Join({Resource(0x0404, Join({kCity, Dataset(90, Text("x"), 1), Dataset(85, Text("T"))})), kInfo}),
         {"[", "90:Rome"}},
        {"dataset past its block", Join({Resource(0x0404, Bytes(kCity.begin(), kCity.end() - 1)), kInfo}), {"["}},
        {"dataset header cut by its block", Join({kInfo, Resource(0x0404, {0x1C, 2, 90})}), {"[", "90:Rome", "["}},
        {"long datasets", Resource(0x0404, Join({Dataset(120, Text(kLong)), kCity})),
         {"[", "120:" + kLong, "90:Rome"}},
        {"padded name and data",
         Join({Resource(0x03ED, Text("odd"), "ab", true), Resource(0x0404, kCity, "", true), kInfo}),
         {"[", "90:Rome", "[", "90:Rome"}},
        {"unpadded odd name field", Join({Resource(0x03ED, Text("odd"), "ab"), kInfo}), {"[", "90:Rome"}},
    };
    for (const auto &c : cases) EXPECT_EQ(WalkExact(c.data), c.events) << c.name;
}

TEST(ResourceWalk, EveryTruncationIsWalkedWithinItsBytes) {
    const Bytes data = Join({Resource(0x03ED, Text("odd"), "ab", true),
                             Resource(0x0404, Join({Dataset(120, Text(kLong)), kCity}), "", true), kInfo});
    const Events whole = WalkExact(data);
    ASSERT_EQ(whole.size(), 5u);
    for (size_t size = 0; size < data.size(); ++size) {
        const Events events = WalkExact(data, size);
        ASSERT_LE(events.size(), whole.size()) << size;
        EXPECT_TRUE(std::equal(events.begin(), events.end(), whole.begin())) << size;
    }
}

TEST(ResourceWalk, NoDataMeansNoWalk) {
    EXPECT_TRUE(Walk(nullptr, 40).empty());
    EXPECT_TRUE(Walk(kInfo.data(), 0).empty());
    EXPECT_TRUE(Walk(kInfo.data(), -5).empty());
}
