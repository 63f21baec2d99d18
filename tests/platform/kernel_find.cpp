// Folder enumeration with FindFirstFileW / FindNextFileW.
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/platform/kernel_test_support.h"

namespace {

using kernel_test::TempDir;
using kernel_test::writeNativeFile;

struct Found {
    std::wstring name;
    DWORD attributes;
    uint64_t size;
};

// Every entry a pattern finds, in the order reported; the error of the first call when none.
std::vector<Found> findAll(const std::wstring &pattern, DWORD *firstError = nullptr) {
    std::vector<Found> found;
    WIN32_FIND_DATAW data;
    SetLastError(0);
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (firstError != nullptr) {
            *firstError = GetLastError();
        }
        return found;
    }
    do {
        found.push_back({data.cFileName, data.dwFileAttributes,
                         (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
    } while (FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return found;
}

std::vector<std::wstring> namesOf(const std::vector<Found> &found) {
    std::vector<std::wstring> names;
    for (const Found &f : found) {
        names.push_back(f.name);
    }
    return names;
}

class KernelFind : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.ok());
        writeNativeFile(dir.native("0.ogg"), std::string(1234, 'a'));
        writeNativeFile(dir.native("1.ogg"), "b");
        writeNativeFile(dir.native("index.txt"), "SAMPLES=1");
        writeNativeFile(dir.native("\xE9\x8C\xB2\xE9\x9F\xB3.ogg"), ""); // 録音.ogg
        writeNativeFile(dir.native("a[1].txt"), "");
        ASSERT_TRUE(CreateDirectoryW(dir.wide(L"news01").c_str(), nullptr));
    }

    std::wstring pattern(const std::wstring &last) { return dir.wide() + PATH_SEPARATOR + last; }

    TempDir dir;
};

TEST_F(KernelFind, ListsAFolderWithDotsFirst) {
    std::vector<Found> found = findAll(pattern(L"*"));
    std::vector<std::wstring> expected = {L".",        L"..",        L"0.ogg",  L"1.ogg",
                                          L"a[1].txt", L"index.txt", L"news01", L"録音.ogg"};
    EXPECT_EQ(namesOf(found), expected);
    for (const Found &f : found) {
        bool folder = f.name == L"." || f.name == L".." || f.name == L"news01";
        EXPECT_EQ((f.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, folder) << f.name;
        if (f.name == L"0.ogg") {
            EXPECT_EQ(f.size, 1234u);
        }
    }
    // "*.*" matches names without a dot too, as it does on the original platform.
    EXPECT_EQ(namesOf(findAll(pattern(L"*.*"))), expected);
}

TEST_F(KernelFind, WildcardsMatchWholeCharacters) {
    const struct {
        const wchar_t *last;
        std::vector<std::wstring> names;
    } cases[] = {
        {L"*.ogg", {L"0.ogg", L"1.ogg", L"録音.ogg"}},
        {L"?.ogg", {L"0.ogg", L"1.ogg"}},
        {L"??.ogg", {L"録音.ogg"}},   // "?" is one character, not one byte
        {L"a[1].txt", {L"a[1].txt"}}, // "[" is no wildcard
        {L"news01", {L"news01"}},
        {L"*s0?", {L"news01"}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(namesOf(findAll(pattern(c.last))), c.names) << c.last;
    }
}

TEST_F(KernelFind, NothingFoundAndBadHandles) {
    DWORD error = 0;
    EXPECT_TRUE(findAll(pattern(L"*.wav"), &error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(findAll(dir.wide(L"missing") + PATH_SEPARATOR + L"*", &error).empty());
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);

    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern(L"*.ogg").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WaitForSingleObject(search, 0), WAIT_FAILED);
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    // A file handle is no search.
    HANDLE file = CreateFileW(dir.wide(L"1.ogg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(file));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(file));
}

// A name that is not valid UTF-8 still comes back out of a listing as a path that opens.
TEST_F(KernelFind, NamesThatAreNotUtf8SurviveTheRoundTrip) {
    int fd = ::open(dir.native("bad\xFF\xFE.ogg").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "xyz", 3), 3);
    ::close(fd);
    std::vector<Found> found = findAll(pattern(L"bad*"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size, 3u);
    std::wstring path = pattern(found[0].name);
    EXPECT_EQ(platform::nativePath(path.c_str()), dir.native("bad\xFF\xFE.ogg"));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
}

} // namespace
