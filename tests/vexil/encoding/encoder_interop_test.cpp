// Encoded outputs decoded back by independent decoders: the system's
// uudecode and Python's binascii. Native builds only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tests/vexil/encoding/encode_test_util.h"
#include "support/temp_dir.h"
#include "vexil/encoding/encoder.h"

#if !defined(_WIN32)

namespace vexil {
namespace {

using encode_test::EncodeHost;
using encode_test::RandomBytes;
using encode_test::ReadFile;
using test::TempDir;
using encode_test::WriteFile;

// Decodes every data line after the begin line, passing over section lines,
// blank lines and the table of later sections, up to "end". XX text is
// first translated into the UU alphabet.
const char kPythonDecoder[] = R"(import binascii, sys
xx = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
uu = "`" + "".join(chr(32 + v) for v in range(1, 64))
to_uu = bytes.maketrans(xx.encode(), uu.encode())
for source in sys.argv[2:]:
    out, started = bytearray(), False
    for line in open(source, "rb").read().split(b"\r\n"):
        if not started:
            started = line.startswith(b"begin 644 ")
            continue
        if line == b"end":
            break
        if not line or line.startswith(b"section "):
            continue
        if sys.argv[1] == "xx":
            line = line.translate(to_uu)
        out += binascii.a2b_uu(line)
    open(source + ".py.out", "wb").write(bytes(out))
)";

bool ToolPresent(const char* command) {
    return std::system((std::string("command -v ") + command + " >/dev/null 2>&1").c_str()) == 0;
}

class EncoderInteropTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ToolPresent("uudecode")) << "uudecode missing (package sharutils)";
        ASSERT_TRUE(ToolPresent("python3")) << "python3 missing";
        WriteFile(dir.File("decode.py"), kPythonDecoder);
    }
    std::string EncodeToText(const std::string& bytes, const std::string& name) {
        WriteFile(dir.File(name), bytes);
        EncodeJobState job;
        EXPECT_TRUE(EncodeFile(dir.File(name), dir.File(name + ".uue"), settings, job));
        return dir.File(name + ".uue");
    }
    // Decodes all the files in one run; each result goes to "<file>.py.out".
    void Python(const std::vector<std::string>& encoded, const char* alphabet) {
        std::string command = "python3 '" + dir.File("decode.py") + "' " + alphabet;
        for (const std::string& file : encoded) command += " '" + file + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    std::string Uudecode(const std::string& encoded) {
        const std::string out = encoded + ".uu.out";
        const std::string command = "uudecode -o '" + out + "' '" + encoded + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return ReadFile(out);
    }

    EncodeHost host;
    TempDir dir;
    EncodeSettings settings;
};

const size_t kSizes[] = {0, 1, 2, 3, 44, 45, 46, 90, 1000, 65535, 65536, 65537, 300001};

TEST_F(EncoderInteropTest, UuOutputDecodesBackExactly) {
    for (int table : {1, 0}) {
        settings.CharacterTable = table;
        std::vector<std::string> encoded;
        for (size_t n : kSizes) {
            encoded.push_back(EncodeToText(RandomBytes(n, static_cast<unsigned>(n) + 3),
                                           "u" + std::to_string(n) + "_" + std::to_string(table)));
            EXPECT_TRUE(Uudecode(encoded.back()) == RandomBytes(n, static_cast<unsigned>(n) + 3)) << n;
        }
        Python(encoded, "uu");
        for (size_t i = 0; i < encoded.size(); ++i)
            EXPECT_TRUE(ReadFile(encoded[i] + ".py.out") == RandomBytes(kSizes[i], static_cast<unsigned>(kSizes[i]) + 3))
                << kSizes[i];
    }
}

TEST_F(EncoderInteropTest, XxOutputDecodesBackExactly) {
    settings.EncodingType = 1;
    std::vector<std::string> encoded;
    for (size_t n : kSizes) encoded.push_back(EncodeToText(RandomBytes(n, static_cast<unsigned>(n) + 5), "x" + std::to_string(n)));
    Python(encoded, "xx");
    for (size_t i = 0; i < encoded.size(); ++i)
        EXPECT_TRUE(ReadFile(encoded[i] + ".py.out") == RandomBytes(kSizes[i], static_cast<unsigned>(kSizes[i]) + 5))
            << kSizes[i];
}

TEST_F(EncoderInteropTest, SectionsInOneFileDecodeBackExactly) {
    settings.SplitOutput = 1;
    settings.EnableSingleStorage = 1;
    settings.LinesPerSection = 37;
    const std::string bytes = RandomBytes(150000, 9);
    const std::string encoded = EncodeToText(bytes, "sections");
    Python({encoded}, "uu");
    EXPECT_TRUE(ReadFile(encoded + ".py.out") == bytes);
}

}  // namespace
}  // namespace vexil

#else

TEST(EncoderInteropTest, RunsOnlyWhereTheDecodersAre) {
    GTEST_SKIP() << "uudecode and python3 are native programs; the native build runs these tests";
}

#endif
