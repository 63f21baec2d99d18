// File handles, folders, names and the errors they report.
#include <cerrno>
#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <vector>

#include "tests/platform/kernel_test_support.h"

namespace {

using kernel_test::readNativeFile;
using kernel_test::TempDir;
using kernel_test::writeNativeFile;

class KernelFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.ok()); }

    HANDLE create(const std::wstring &path, DWORD access, DWORD disposition) {
        return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    TempDir dir;
};

TEST_F(KernelFiles, CreateWriteReadAndDispositions) {
    std::wstring path = dir.wide(L"0.ogg");
    SetLastError(12345);
    HANDLE file = create(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "OggS-data", 9, &written, nullptr));
    EXPECT_EQ(written, 9u);
    DWORD read = 99;
    char scratch[4];
    EXPECT_FALSE(ReadFile(file, scratch, sizeof scratch, &read, nullptr)); // opened for writing
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(readNativeFile(dir.native("0.ogg")), "OggS-data");

    // Reading back in pieces, then the end of the file.
    file = create(path, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[16] = {};
    EXPECT_TRUE(ReadFile(file, buffer, 4, &read, nullptr));
    EXPECT_EQ(read, 4u);
    EXPECT_TRUE(ReadFile(file, buffer + 4, sizeof buffer - 4, &read, nullptr));
    EXPECT_EQ(read, 5u);
    EXPECT_STREQ(buffer, "OggS-data");
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(file));

    // CREATE_ALWAYS on an existing file empties it and says so.
    file = create(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(readNativeFile(dir.native("0.ogg")), "");

    EXPECT_EQ(create(path, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

    file = create(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(file));

    file = create(dir.wide(L"1.ogg"), GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(file));

    writeNativeFile(dir.native("1.ogg"), "old");
    file = create(dir.wide(L"1.ogg"), GENERIC_WRITE, TRUNCATE_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(readNativeFile(dir.native("1.ogg")), "");
}

TEST_F(KernelFiles, JapaneseNamesAreUtf8OnDisk) {
    HANDLE file = create(dir.wide(L"録音.txt"), GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    struct stat st;
    EXPECT_EQ(::stat(dir.native("\xE9\x8C\xB2\xE9\x9F\xB3.txt").c_str(), &st), 0);
}

// The errors a caller acts on: CreateOutputFile creates the folders of a path only after
// ERROR_PATH_NOT_FOUND, and accepts ERROR_ALREADY_EXISTS from CreateDirectoryW.
TEST_F(KernelFiles, MissingAndExistingPathErrors) {
    writeNativeFile(dir.native("plain"), "x");
    ASSERT_TRUE(CreateDirectoryW(dir.wide(L"prog").c_str(), nullptr));

    struct Case {
        const wchar_t *name;
        DWORD disposition;
        DWORD error;
    };
    const Case cases[] = {
        {L"missing/0.ogg", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {L"missing/deeper/0.ogg", CREATE_NEW, ERROR_PATH_NOT_FOUND},
        {L"plain/0.ogg", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND}, // a file where a folder should be
        {L"missing.ogg", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {L"missing/0.ogg", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {L"prog", OPEN_EXISTING, ERROR_ACCESS_DENIED}, // a folder is no file
        {L"prog", CREATE_ALWAYS, ERROR_ACCESS_DENIED},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " disposition " << c.disposition);
        SetLastError(0);
        EXPECT_EQ(create(dir.wide(c.name), GENERIC_WRITE, c.disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
    HANDLE folderForReading = create(dir.wide(L"prog"), GENERIC_READ, OPEN_EXISTING);
    EXPECT_EQ(folderForReading, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    const struct {
        const wchar_t *name;
        DWORD error;
    } folders[] = {
        {L"prog", ERROR_ALREADY_EXISTS},
        {L"plain", ERROR_ALREADY_EXISTS},
        {L"missing/prog", ERROR_PATH_NOT_FOUND},
        {L"plain/prog", ERROR_PATH_NOT_FOUND},
    };
    for (const auto &c : folders) {
        SCOPED_TRACE(testing::Message() << c.name);
        EXPECT_FALSE(CreateDirectoryW(dir.wide(c.name).c_str(), nullptr));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_FALSE(CreateDirectoryW(L"", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

// Access denied, exercised for real: once as an unprivileged identity in a read-only folder, and
// once in the kernel's own file system, where not even root may create entries.
TEST_F(KernelFiles, AccessDenied) {
    ASSERT_EQ(::chmod(dir.native().c_str(), 0755), 0);
    ASSERT_TRUE(CreateDirectoryW(dir.wide(L"locked").c_str(), nullptr));
    ASSERT_EQ(::chmod(dir.native("locked").c_str(), 0555), 0);
    std::wstring inLocked = dir.wide(L"locked") + PATH_SEPARATOR + L"0.ogg";
    std::wstring folderInLocked = dir.wide(L"locked") + PATH_SEPARATOR + L"prog";

    DWORD fileError = 0, folderError = 0;
    HANDLE file = nullptr;
    BOOL made = TRUE;
    kernel_test::runUnprivileged([&] {
        file = create(inLocked, GENERIC_WRITE, CREATE_ALWAYS);
        fileError = GetLastError();
        made = CreateDirectoryW(folderInLocked.c_str(), nullptr);
        folderError = GetLastError();
    });
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(fileError, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(made);
    EXPECT_EQ(folderError, ERROR_ACCESS_DENIED);

    struct stat st;
    if (::stat("/sys/kernel", &st) != 0) {
        GTEST_SKIP() << "no /sys on this machine";
    }
    EXPECT_FALSE(CreateDirectoryW(L"/sys/kernel/tindle-test", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(create(L"/sys/kernel/tindle-test", GENERIC_WRITE, CREATE_ALWAYS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(KernelFiles, WriteReportsWhatReachedAFullDisk) {
    HANDLE full = create(L"/dev/full", GENERIC_WRITE, OPEN_EXISTING);
    if (full == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    DWORD written = 77;
    EXPECT_FALSE(WriteFile(full, "abc", 3, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(CloseHandle(full));

    // A file that may grow to 4096 bytes only: the first 4096 bytes of a longer write land and
    // are reported, then the write fails.
    HANDLE file = create(dir.wide(L"big.ogg"), GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::vector<char> data(10000, 'x');
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    DWORD error = GetLastError();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, ERROR_DISK_FULL);
    EXPECT_EQ(written, 4096u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(readNativeFile(dir.native("big.ogg")).size(), 4096u);
}

TEST_F(KernelFiles, BadHandlesAreRefused) {
    HANDLE file = create(dir.wide(L"a"), GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(file));
    int onTheStack = 0;
    const HANDLE bad[] = {nullptr, INVALID_HANDLE_VALUE, file, &onTheStack};
    for (HANDLE handle : bad) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        DWORD written = 5;
        EXPECT_FALSE(WriteFile(handle, "x", 1, &written, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(written, 0u);
    }
    EXPECT_EQ(onTheStack, 0);
}

TEST_F(KernelFiles, MoveDeleteAndAttributes) {
    writeNativeFile(dir.native("index.tmp"), "new");
    writeNativeFile(dir.native("index.txt"), "old");
    EXPECT_FALSE(MoveFileExW(dir.wide(L"index.tmp").c_str(), dir.wide(L"index.txt").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readNativeFile(dir.native("index.txt")), "old");
    EXPECT_TRUE(MoveFileExW(dir.wide(L"index.tmp").c_str(), dir.wide(L"index.txt").c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(readNativeFile(dir.native("index.txt")), "new");
    EXPECT_EQ(GetFileAttributesW(dir.wide(L"index.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(MoveFileExW(dir.wide(L"index.tmp").c_str(), dir.wide(L"other").c_str(), 0));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(MoveFileExW(dir.wide(L"index.txt").c_str(), dir.wide(L"moved.txt").c_str(), 0));
    EXPECT_FALSE(MoveFileExW(dir.wide(L"moved.txt").c_str(), dir.wide(L"no/moved.txt").c_str(),
                             MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    ASSERT_TRUE(CreateDirectoryW(dir.wide(L"prog").c_str(), nullptr));
    writeNativeFile(dir.native("prog/0.ogg"), "x");
    EXPECT_EQ(GetFileAttributesW(dir.wide(L"prog").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(dir.wide(L"moved.txt").c_str()), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesW(dir.wide(L"no/x").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    EXPECT_FALSE(MoveFileExW(dir.wide(L"moved.txt").c_str(), dir.wide(L"prog").c_str(),
                             MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(RemoveDirectoryW(dir.wide(L"prog").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_FALSE(RemoveDirectoryW(dir.wide(L"moved.txt").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_FALSE(DeleteFileW(dir.wide(L"prog").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(DeleteFileW(dir.wide(L"prog/0.ogg").c_str()));
    EXPECT_FALSE(DeleteFileW(dir.wide(L"prog/0.ogg").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(RemoveDirectoryW(dir.wide(L"prog").c_str()));
    EXPECT_FALSE(RemoveDirectoryW(dir.wide(L"prog").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(KernelFiles, CurrentDirectory) {
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    ASSERT_GT(needed, 1u);
    std::wstring original(needed, L'\0');
    ASSERT_EQ(GetCurrentDirectoryW(needed, original.data()), needed - 1);
    original.resize(needed - 1);

    ASSERT_TRUE(CreateDirectoryW(dir.wide(L"録音").c_str(), nullptr));
    std::wstring target = dir.wide(L"録音");
    ASSERT_TRUE(SetCurrentDirectoryW(target.c_str()));
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    // Too small: the size needed with the terminator, and nothing written.
    EXPECT_EQ(GetCurrentDirectoryW(4, small), target.size() + 1);
    EXPECT_EQ(small[0], L'x');
    std::vector<wchar_t> exact(target.size() + 1);
    EXPECT_EQ(GetCurrentDirectoryW(static_cast<DWORD>(exact.size()), exact.data()), target.size());
    EXPECT_EQ(std::wstring(exact.data()), target);
    EXPECT_TRUE(SetCurrentDirectoryW(original.c_str()));

    writeNativeFile(dir.native("plain"), "x");
    EXPECT_FALSE(SetCurrentDirectoryW(dir.wide(L"plain").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_FALSE(SetCurrentDirectoryW(dir.wide(L"missing").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SetCurrentDirectoryW(dir.wide(L"missing/deeper").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(KernelErrors, ErrnoMapping) {
    const struct {
        int err;
        DWORD code;
    } cases[] = {
        {ENOENT, ERROR_FILE_NOT_FOUND},
        {ENOTDIR, ERROR_PATH_NOT_FOUND},
        {EACCES, ERROR_ACCESS_DENIED},
        {EPERM, ERROR_ACCESS_DENIED},
        {EROFS, ERROR_ACCESS_DENIED},
        {EEXIST, ERROR_ALREADY_EXISTS},
        {ENOSPC, ERROR_DISK_FULL},
        {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
        {ENAMETOOLONG, 206},
        {EBUSY, ERROR_BUSY},
        {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
        {EINVAL, ERROR_INVALID_PARAMETER},
        {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
        {EIO, ERROR_GEN_FAILURE},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ErrorFromErrno(c.err), c.code) << "errno " << c.err;
    }
    // The last error belongs to the thread that set it.
    SetLastError(ERROR_DISK_FULL);
    DWORD seenByOtherThread = 1;
    std::thread other([&] { seenByOtherThread = GetLastError(); });
    other.join();
    EXPECT_EQ(seenByOtherThread, ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
}

} // namespace
