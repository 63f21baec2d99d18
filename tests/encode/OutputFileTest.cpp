#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "encode/OutputFile.h"
#include "tests/encode/PipelineTestSupport.h"

namespace {

std::string joined(std::initializer_list<const char *> parts) {
    std::string path;
    for (const char *part : parts) {
        if (!path.empty()) {
            path += static_cast<char>(PATH_SEPARATOR);
        }
        path += part;
    }
    return path;
}

std::wstring wide(const std::string &s) { return std::wstring(s.begin(), s.end()); }

void writeAndClose(HANDLE file, const char *text) {
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr));
    EXPECT_EQ(written, strlen(text));
    EXPECT_TRUE(CloseHandle(file));
}

TEST(CreateOutputFile, TruncatesAnExistingFileInAnExistingFolder) {
    ScratchFolder scratch;
    std::string path = scratch.path("0.ogg");
    writeWholeFile(path, std::vector<unsigned char>(5000, 'x'));

    HANDLE file = CreateOutputFile(wide(path).c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    writeAndClose(file, "new");
    EXPECT_EQ(readWholeFile(path), "new");
}

TEST(CreateOutputFile, CreatesEveryMissingFolderOnThePath) {
    ScratchFolder scratch;
    std::string path = scratch.path(joined({"a", "b", "c", "0.ogg"}));

    HANDLE file = CreateOutputFile(wide(path).c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    writeAndClose(file, "segment");
    EXPECT_EQ(readWholeFile(path), "segment");
    // The file name itself never becomes a folder.
    EXPECT_EQ(folderEntries(scratch.path(joined({"a", "b", "c"}))),
              std::vector<std::string>{"0.ogg"});

    // The programme folder deleted while its base is still there: it is made again.
    std::filesystem::remove_all(scratch.path(joined({"a", "b", "c"})));
    file = CreateOutputFile(wide(path).c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    writeAndClose(file, "again");
    EXPECT_EQ(readWholeFile(path), "again");
}

TEST(CreateOutputFile, RefusesWhatItCannotCreate) {
    ScratchFolder scratch;
    // A regular file where a folder should be: the folder cannot be made.
    writeWholeFile(scratch.path("plain"), {'p'});
    std::string underFile = scratch.path(joined({"plain", "prog", "0.ogg"}));
    EXPECT_EQ(CreateOutputFile(wide(underFile).c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(readWholeFile(scratch.path("plain")), "p");

    // The name of an existing folder cannot be a file; no folder is created for it.
    std::filesystem::create_directory(scratch.path("taken.ogg"));
    EXPECT_EQ(CreateOutputFile(wide(scratch.path("taken.ogg")).c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(folderEntries(scratch.path("taken.ogg")), std::vector<std::string>{});

    // Longer than the path capacity.
    std::wstring tooLong =
        scratch.widePath() + PATH_SEPARATOR + std::wstring(1100, L'a') + PATH_SEPARATOR + L"0.ogg";
    EXPECT_EQ(CreateOutputFile(tooLong.c_str()), INVALID_HANDLE_VALUE);
}

} // namespace
