// The viewer's File Info edits as they land in the host's image resources:
// the datasets edited change, everything else keeps its bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "pnghost/formats/FileInfoResource.h"

namespace {

// Another host resource block (id 0x03ED, empty name), with an odd size.
const std::vector<uint8_t> kOtherBlock = {'8', 'B', 'I', 'M', 0x03, 0xED, 0, 0, 0, 0, 0, 3, 7, 8, 9, 0};

std::vector<uint8_t> Joined(std::vector<uint8_t> first, const std::vector<uint8_t> &second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The record 2 datasets after the Record Version, as "number=text;".
std::string Listed(const std::vector<uint8_t> &resources) {
    std::string listed;
    for (const IptcDataset &dataset : ListFileInfoDatasets(resources))
        if (dataset.number != 0) listed += std::to_string(dataset.number) + "=" + dataset.text + ";";
    return listed;
}

TEST(FileInfoEdit, ChangesOnlyTheDatasetsEdited) {
    struct EditCase {
        const char *what;
        std::vector<uint8_t> resources;
        std::vector<IptcDataset> edits;
        std::string listed;
    };
    const std::vector<uint8_t> captioned =
        BuildFileInfoResource({{120, "Harbour"}, {25, "boats"}, {80, "Ann"}, {120, "second caption"}});
    const EditCase kCases[] = {
        {"a caption replaced where it stood, its second dropped, others kept", captioned, {{120, "Dawn"}},
         "120=Dawn;25=boats;80=Ann;"},
        {"a new dataset follows the others", captioned, {{90, "Rome"}},
         "120=Harbour;25=boats;80=Ann;120=second caption;90=Rome;"},
        {"an emptied field drops its datasets", captioned, {{80, ""}}, "120=Harbour;25=boats;120=second caption;"},
        {"no File Info block: one is made", kOtherBlock, {{105, "News"}, {80, ""}}, "105=News;"},
        {"no File Info block and nothing typed: none made", kOtherBlock, {{105, ""}}, ""},
        {"the block after another block is edited", Joined(kOtherBlock, captioned), {{80, "Bo"}},
         "120=Harbour;25=boats;80=Bo;120=second caption;"},
    };
    for (const EditCase &edit : kCases) {
        const std::vector<uint8_t> edited = EditFileInfo(edit.resources, edit.edits);
        EXPECT_EQ(Listed(edited), edit.listed) << edit.what;
        // The other block keeps its place and its bytes.
        if (std::equal(kOtherBlock.begin(), kOtherBlock.end(), edit.resources.begin())) {
            EXPECT_TRUE(std::equal(kOtherBlock.begin(), kOtherBlock.end(), edited.begin())) << edit.what;
        }
    }
}

}  // namespace
