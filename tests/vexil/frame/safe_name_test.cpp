// Names from encoded text made safe to write: never a path, never a device.
#include "vexil/frame/safe_name.h"

#include <gtest/gtest.h>

namespace vexil {
namespace {

TEST(SafeNameTest, HostileNames) {
    struct Case {
        const char* name;
        const char* posix;
        const char* windows;
    };
    const Case cases[] = {
        {"plain.bin", "plain.bin", "plain.bin"},
        {"../../etc/passwd", "passwd", "passwd"},
        {"/etc/shadow", "shadow", "shadow"},
        {"..\\..\\boot.ini", "boot.ini", "boot.ini"},
        {"C:\\Windows\\win.ini", "win.ini", "win.ini"},
        {"C:autoexec.bat", "autoexec.bat", "autoexec.bat"},
        {"dir/", "_", "_"},
        {"..", "_", "_"},
        {".", "_", "_"},
        {"", "_", "_"},
        {"a\x01" "b\x7f" "c", "a_b_c", "a_b_c"},
        {"what?*.txt", "what__.txt", "what__.txt"},
        {"CON", "CON", "_CON"},
        {"nul.txt", "nul.txt", "_nul.txt"},
        {"com1", "com1", "_com1"},
        {"LPT9.log", "LPT9.log", "_LPT9.log"},
        {"COM10", "COM10", "COM10"},
        {"console", "console", "console"},
        {"trail. . ", "trail. . ", "trail"},
        {"a<b>c:d\"e|f", "a<b>c:d\"e|f", "a_b_c_d_e_f"},
        {"...", "...", "_"},
        {".profile", ".profile", ".profile"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeName(c.name, false), c.posix) << c.name;
        EXPECT_EQ(SafeName(c.name, true), c.windows) << c.name;
    }
}

}  // namespace
}  // namespace vexil
