// The program as a user starts it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

std::filesystem::path buildDir() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

TEST(Entry, WithoutADisplayTheProgramSaysSoInOneLineAndFails) {
    std::filesystem::path program = buildDir() / "tindle";
    ASSERT_TRUE(std::filesystem::exists(program));
    std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '" + program.string() + "' 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 256> buffer;
    while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        output += buffer.data();
    }
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_NE(output.find("no display"), std::string::npos) << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
}

} // namespace
