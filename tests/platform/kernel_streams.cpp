// The runtime library's wide-path streams and _setmode.
#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "tests/platform/kernel_test_support.h"

namespace {

using kernel_test::readNativeFile;
using kernel_test::TempDir;
using kernel_test::writeNativeFile;

TEST(KernelStreams, OpenWriteAppendRead) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    std::wstring path = dir.wide(L"plist.txt");
    FILE *out = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    // No translation: a line feed stays one byte.
    std::fputs("\xE9\x8C\xB2\xE9\x9F\xB3\tnews01\n", out);
    std::fclose(out);
    FILE *more = _wfsopen(path.c_str(), L"ab", _SH_DENYNO);
    ASSERT_NE(more, nullptr);
    std::fputs("x\ty\r\n", more);
    std::fclose(more);
    EXPECT_EQ(readNativeFile(dir.native("plist.txt")),
              "\xE9\x8C\xB2\xE9\x9F\xB3\tnews01\nx\ty\r\n");

    FILE *in = _wfopen(path.c_str(), L"rt");
    ASSERT_NE(in, nullptr);
    char line[256];
    ASSERT_NE(std::fgets(line, sizeof line, in), nullptr);
    EXPECT_STREQ(line, "\xE9\x8C\xB2\xE9\x9F\xB3\tnews01\n");
    std::fclose(in);

    FILE *rewritten = _wfopen(path.c_str(), L"w");
    ASSERT_NE(rewritten, nullptr);
    std::fclose(rewritten);
    EXPECT_EQ(readNativeFile(dir.native("plist.txt")), "");
}

TEST(KernelStreams, Failures) {
    TempDir dir;
    ASSERT_TRUE(dir.ok());
    errno = 0;
    EXPECT_EQ(_wfopen(dir.wide(L"missing.txt").c_str(), L"r"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(_wfopen(dir.wide(L"missing/plist.txt").c_str(), L"w"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    // A folder opens for reading in POSIX, but is no stream here.
    EXPECT_EQ(_wfopen(dir.wide().c_str(), L"rb"), nullptr);
    EXPECT_EQ(errno, EACCES);

    const wchar_t *badModes[] = {L"", L"q", L"rr+", L"r++", L"rbt", L"rz"};
    for (const wchar_t *mode : badModes) {
        errno = 0;
        EXPECT_EQ(_wfopen(dir.wide(L"x").c_str(), mode), nullptr) << mode;
        EXPECT_EQ(errno, EINVAL) << mode;
    }
    errno = 0;
    EXPECT_EQ(_wfsopen(dir.wide(L"x").c_str(), L"w", 0x55), nullptr);
    EXPECT_EQ(errno, EINVAL);
}

TEST(KernelStreams, SetModeReportsThePreviousMode) {
    int fd = ::dup(STDOUT_FILENO);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(_setmode(fd, _O_BINARY), _O_BINARY);
    EXPECT_EQ(_setmode(fd, _O_TEXT), _O_BINARY);
    EXPECT_EQ(_setmode(fd, _O_BINARY), _O_TEXT);
    errno = 0;
    EXPECT_EQ(_setmode(fd, 0x1234), -1);
    EXPECT_EQ(errno, EINVAL);
    ::close(fd);
    errno = 0;
    EXPECT_EQ(_setmode(-1, _O_BINARY), -1);
    EXPECT_EQ(errno, EBADF);
}

} // namespace
