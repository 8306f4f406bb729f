// The library carries the committed image files byte for byte, and those files
// are what the stand-in generator writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "FwFile.h"

namespace {

std::vector<uint8_t> ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(EmbeddedImages, AreTheCommittedFiles)
{
    struct Row {
        int32_t hardware;
        const char* fileName;
    };
    for (const Row& row : {Row{0x0901, "app-hw0901-v0108.bin"}, Row{0x0902, "app-hw0902-v0108.bin"}}) {
        SCOPED_TRACE(row.fileName);
        FwFile file{};
        ASSERT_EQ(GetFwFile(row.hardware, 3, 0, &file), 1);
        const std::vector<uint8_t> expected =
            ReadFile(std::filesystem::path(VANTREL_FW_IMAGE_DIR) / row.fileName);
        ASSERT_EQ(file.size, expected.size());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.data));
    }
}

TEST(EmbeddedImages, CommittedFilesAreWhatTheGeneratorWrites)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vantrel-standins-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string command =
        std::string("\"") + VANTREL_STANDIN_GENERATOR + "\" \"" + folder.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    // Sizes from the image table.
    const std::pair<const char*, size_t> files[] = {
        {"app-hw0901-v0108.bin", 19060},
        {"app-hw0902-v0108.bin", 19276},
        {"app-hw0901-v0107.bin", 18992},
        {"app-hw0902-v0107.bin", 19208},
    };
    for (const auto& [name, size] : files) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> generated = ReadFile(folder / name);
        EXPECT_EQ(generated.size(), size);
        EXPECT_EQ(generated, ReadFile(std::filesystem::path(VANTREL_FW_IMAGE_DIR) / name));
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
