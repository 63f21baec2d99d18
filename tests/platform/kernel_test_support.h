// Shared pieces of the kernel tests: a temporary folder that is removed afterwards, and a way to
// run file calls without root's power to ignore permission bits.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/fsuid.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/win32.h"

namespace kernel_test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tindle-kernel-XXXXXX");
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempDir() {
        if (!path_.empty()) {
            std::error_code ignored;
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(path_, ignored);
        }
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    bool ok() const { return !path_.empty(); }
    // The native path of an entry in the folder (the folder itself for an empty name).
    std::string native(const std::string &name = "") const {
        return name.empty() ? path_ : path_ + static_cast<char>(PATH_SEPARATOR) + name;
    }
    // The wide path of an entry in the folder.
    std::wstring wide(const std::wstring &name = L"") const {
        std::wstring base = platform::widePath(path_.c_str());
        return name.empty() ? base : base + PATH_SEPARATOR + name;
    }

private:
    std::string path_;
};

// Writes a file through the C++ library, bypassing the layer under test.
inline void writeNativeFile(const std::string &path, const std::string &content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string readNativeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs body on a helper thread whose file-system identity is the unprivileged user "nobody", so
// that permission bits bind even when the tests run as root. The change is per thread and ends
// with it.
template <typename Body> void runUnprivileged(Body body) {
    std::thread helper([&body] {
        if (::geteuid() == 0) {
            ::setfsgid(65534);
            ::setfsuid(65534);
        }
        body();
    });
    helper.join();
}

} // namespace kernel_test
