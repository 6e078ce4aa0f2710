// The POSIX settings store: a registry export text file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <locale.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "platform/posix/reg_text.h"

namespace {

using platform::RegText;

std::string Dword(const RegText& reg, const std::string& key, const std::string& name) {
    auto v = reg.Value(key, name);
    if (!v) return "none";
    if (v->size() != 4) return "size " + std::to_string(v->size());
    uint32_t x = (*v)[0] | ((*v)[1] << 8) | ((*v)[2] << 16) | (static_cast<uint32_t>((*v)[3]) << 24);
    return std::to_string(x);
}

TEST(RegTextTest, ReadsValuesWhateverTheLineEndsCaseAndHexDigits) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"V\"=dword:0000000a\r\n", "10"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"V\"=dword:0000000A\n", "10"},
        {"REGEDIT4\n[hkey_current_user\\SOFTWARE\\a]\n\"v\"=DWORD:FfFfFfFf\n", "4294967295"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n  \"V\" = dword:00000001  \n", "1"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"V\"=hex:01,02\n", "size 2"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"V\"=dword:zz\n", "none"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"V\"=dword:123456789\n", "none"},
        {"REGEDIT4\n[HKEY_CURRENT_USER\\Software\\B]\n\"V\"=dword:00000001\n", "none"},
        {"garbage\n\"V\"=dword:00000001\n", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Dword(RegText(c.text), "Software\\A", "V"), c.expected);
    }
}

TEST(RegTextTest, KeysExistWhenTheyOrKeysBelowThemHaveSections) {
    RegText reg("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A\\B]\n");
    EXPECT_TRUE(reg.KeyExists("Software\\A\\B"));
    EXPECT_TRUE(reg.KeyExists("software\\a"));
    EXPECT_FALSE(reg.KeyExists("Software\\A\\B\\C"));
    EXPECT_FALSE(reg.KeyExists("Software\\AB"));
}

TEST(RegTextTest, SettingKeepsEveryOtherLine) {
    const std::string original =
        "REGEDIT4\n\n; a comment\n[HKEY_CURRENT_USER\\Software\\A]\n\"Keep\"=hex(7):41,00\n"
        "\"V\"=dword:00000001\nnot a value line\n\n[HKEY_CURRENT_USER\\Other]\n\"X\"=\"text\"\n";
    RegText reg(original);
    reg.SetDword("Software\\A", "v", 2);
    reg.SetDword("Software\\A", "New", 3);
    reg.SetDword("Software\\C", "Z", 4);
    const std::string out = reg.Serialize();
    for (const char* kept : {"; a comment", "\"Keep\"=hex(7):41,00", "not a value line", "\"X\"=\"text\""})
        EXPECT_NE(out.find(kept), std::string::npos) << kept;
    RegText again(out);
    EXPECT_EQ(Dword(again, "Software\\A", "V"), "2");
    EXPECT_EQ(Dword(again, "Software\\A", "New"), "3");
    EXPECT_EQ(Dword(again, "Software\\C", "Z"), "4");
    EXPECT_EQ(out.find("\"V\"=dword:00000001"), std::string::npos) << "replaced, not duplicated";
    EXPECT_EQ(out.rfind("REGEDIT4\r\n", 0), 0u);
}

TEST(RegTextTest, StringsReadBackWhateverTheyHold) {
    const std::string values[] = {"",
                                  "plain",
                                  "/home/u/My Files",
                                  "quote \" and back\\slash\\",
                                  "\\\"",
                                  "line\nend",
                                  "cr\r",
                                  "tab\there",
                                  "UTF-8 \xC3\xA9\xE2\x82\xAC\xC3\x9F \xE4\xB8\xAD \xF0\x9F\x98\x80",
                                  "trailing blanks  ",
                                  "=dword:00000001",
                                  "[HKEY_CURRENT_USER\\Software\\A]"};
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        RegText reg("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"Before\"=dword:00000001\n");
        reg.SetString("Software\\A", "S", value);
        reg.SetDword("Software\\A", "After", 2);
        RegText again(reg.Serialize());
        std::vector<uint8_t> expected(value.begin(), value.end());
        expected.push_back(0);
        EXPECT_EQ(again.Value("Software\\A", "S"), expected);
        EXPECT_EQ(Dword(again, "Software\\A", "Before"), "1");  // the value broke no other line
        EXPECT_EQ(Dword(again, "Software\\A", "After"), "2");
        // Set again: replaced in place, not added.
        again.SetString("Software\\A", "s", "x");
        const std::string out = again.Serialize();
        size_t lines = 0;
        std::istringstream text(out);
        for (std::string line; std::getline(text, line);) lines += line.rfind("\"S\"=", 0) == 0 || line.rfind("\"s\"=", 0) == 0;
        EXPECT_EQ(lines, 1u);
        EXPECT_EQ(RegText(out).Value("Software\\A", "S"), (std::vector<uint8_t>{'x', 0}));
    }
}

TEST(RegTextTest, AByteOrderMarkBeforeTheHeaderIsKeptAndAddsNoHeader) {
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& body : {std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"V\"=dword:00000007\r\n"),
                                   std::string("[HKEY_CURRENT_USER\\Software\\A]\n\"V\"=dword:00000007\n")}) {
        SCOPED_TRACE(body);
        RegText reg(bom + body);
        EXPECT_EQ(Dword(reg, "Software\\A", "V"), "7") << "the first line is read past the mark";
        reg.SetDword("Software\\A", "W", 8);
        const std::string out = reg.Serialize();
        EXPECT_EQ(out.rfind(bom + "REGEDIT4\r\n", 0), 0u);
        EXPECT_EQ(out.find("REGEDIT4", 4), std::string::npos) << "one header only";
        EXPECT_EQ(out.find(bom, 1), std::string::npos);
        RegText again(out);
        EXPECT_EQ(Dword(again, "Software\\A", "V"), "7");
        EXPECT_EQ(Dword(again, "Software\\A", "W"), "8");
    }
    EXPECT_EQ(RegText("REGEDIT4\n").Serialize(), "REGEDIT4\r\n") << "no mark where there was none";
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ::testing::TempDir() + "settings_file_test_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        file = dir + "/sub/registry.reg";
        const char* old = std::getenv("PLUGHOST_REGISTRY");
        saved = old ? old : "";
        hadSaved = old != nullptr;
        setenv("PLUGHOST_REGISTRY", file.c_str(), 1);
    }
    void TearDown() override {
        chmod(dir.c_str(), 0700);
        if (hadSaved)
            setenv("PLUGHOST_REGISTRY", saved.c_str(), 1);
        else
            unsetenv("PLUGHOST_REGISTRY");
        std::string cmd = "chmod -R u+w '" + dir + "' 2>/dev/null; rm -rf '" + dir + "'";
        (void)std::system(cmd.c_str());
    }
    std::string Contents() {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir, file, saved;
    bool hadSaved = false;
};

TEST_F(SettingsFileTest, CreatingAKeyWritesAReadableFile) {
    platform::Os& os = platform::os();
    EXPECT_EQ(os.OpenSettingsKey("Software\\T"), nullptr);
    platform::SettingsKey* key = os.CreateSettingsKey("Software\\T\\General");
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(os.SetDword(key, "LinesPerSection", 100));
    os.CloseSettingsKey(key);
    EXPECT_EQ(Contents(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\T\\General]\r\n\"LinesPerSection\"=dword:00000064\r\n");
    platform::SettingsKey* parent = os.OpenSettingsKey("Software\\T");
    EXPECT_NE(parent, nullptr) << "a parent of a created key exists";
    os.CloseSettingsKey(parent);
}

TEST_F(SettingsFileTest, StringsAndNumbersShareAKey) {
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.CreateSettingsKey("Software\\T\\Panels");
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(os.SetString(key, "LeftFolder", "/tmp/a \"b\""));
    ASSERT_TRUE(os.SetDword(key, "Count", 3));
    os.CloseSettingsKey(key);
    key = os.OpenSettingsKey("Software\\T\\Panels");
    ASSERT_NE(key, nullptr);
    char text[64] = {};
    uint32_t size = sizeof text;
    ASSERT_TRUE(os.QueryValue(key, "LeftFolder", text, &size));
    EXPECT_EQ(size, 11u);  // with the terminating zero
    EXPECT_STREQ(text, "/tmp/a \"b\"");
    uint32_t count = 0;
    size = sizeof count;
    ASSERT_TRUE(os.QueryValue(key, "Count", &count, &size));
    EXPECT_EQ(count, 3u);
    size = 4;  // too small for the string
    EXPECT_FALSE(os.QueryValue(key, "LeftFolder", text, &size));
    os.CloseSettingsKey(key);
}

TEST_F(SettingsFileTest, AMalformedFileIsKeptOnSave) {
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/sub'").c_str()), 0);
    std::ofstream(file, std::ios::binary) << "this is not\nwhat we wrote\n[HKEY_CURRENT_USER\\Software\\T]\n\"A\"=dword:xyz\n";
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.OpenSettingsKey("Software\\T");
    ASSERT_NE(key, nullptr);
    uint32_t v = 0, size = 4;
    EXPECT_FALSE(os.QueryValue(key, "A", &v, &size)) << "an unreadable value is no value";
    os.CloseSettingsKey(key);
    key = os.CreateSettingsKey("Software\\T");
    ASSERT_TRUE(os.SetDword(key, "B", 5));
    os.CloseSettingsKey(key);
    const std::string out = Contents();
    EXPECT_NE(out.find("this is not\r\nwhat we wrote\r\n"), std::string::npos);
    EXPECT_NE(out.find("\"A\"=dword:xyz"), std::string::npos);
    EXPECT_NE(out.find("\"B\"=dword:00000005"), std::string::npos);
}

TEST_F(SettingsFileTest, ReadOnlyLocationFailsWithoutLosingTheFile) {
    if (geteuid() == 0) {
        // root writes anyway: make the store's path a directory instead.
        ASSERT_EQ(std::system(("mkdir -p '" + file + "'").c_str()), 0);
        EXPECT_EQ(platform::os().CreateSettingsKey("Software\\T"), nullptr);
        return;
    }
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/sub'").c_str()), 0);
    std::ofstream(file, std::ios::binary) << "REGEDIT4\r\n";
    chmod((dir + "/sub").c_str(), 0500);
    EXPECT_EQ(platform::os().CreateSettingsKey("Software\\T"), nullptr);
    EXPECT_EQ(Contents(), "REGEDIT4\r\n");
}

TEST_F(SettingsFileTest, NoTemporaryFileStaysBehind) {
    platform::SettingsKey* key = platform::os().CreateSettingsKey("Software\\T");
    ASSERT_NE(key, nullptr);
    platform::os().SetDword(key, "A", 1);
    platform::os().CloseSettingsKey(key);
    std::string cmd = "test $(ls -A '" + dir + "/sub' | wc -l) -eq 1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

void SaveOneValue(uint32_t value) {
    platform::SettingsKey* key = platform::os().CreateSettingsKey("Software\\T");
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(platform::os().SetDword(key, "A", value));
    platform::os().CloseSettingsKey(key);
}

TEST_F(SettingsFileTest, ALinkedStoreHasItsTargetRewrittenAndStaysALink) {
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/sub' '" + dir + "/real'").c_str()), 0);
    struct Case {
        const char* linkText;  // what the link holds, relative to sub/
        const char* target;    // the file it finally names, relative to dir
        bool targetExists;
    };
    const Case cases[] = {
        {"../real/store.reg", "real/store.reg", true},
        {"../real/new.reg", "real/new.reg", false},                 // a dangling link creates its target
        {"hop.reg", "real/chained.reg", true},                      // link to a link
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linkText);
        const std::string target = dir + "/" + c.target;
        std::remove(file.c_str());
        if (c.targetExists) std::ofstream(target, std::ios::binary) << "REGEDIT4\r\n; mine\r\n";
        if (std::string(c.linkText) == "hop.reg") {
            std::remove((dir + "/sub/hop.reg").c_str());
            ASSERT_EQ(symlink(("../" + std::string(c.target)).c_str(), (dir + "/sub/hop.reg").c_str()), 0);
        }
        ASSERT_EQ(symlink(c.linkText, file.c_str()), 0);
        SaveOneValue(9);
        struct stat info;
        ASSERT_EQ(lstat(file.c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced by a file";
        std::ifstream in(target, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_NE(text.str().find("\"A\"=dword:00000009"), std::string::npos) << text.str();
        if (c.targetExists) {
            EXPECT_NE(text.str().find("; mine"), std::string::npos);
        }
    }
    std::string cmd = "test $(ls -A '" + dir + "/real' | wc -l) -eq 3";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "no temporary file stays behind";
}

TEST_F(SettingsFileTest, ARewriteKeepsTheFilesMode) {
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/sub'").c_str()), 0);
    for (mode_t mode : {0600, 0640, 0604, 0660}) {
        SCOPED_TRACE(mode);
        std::ofstream(file, std::ios::binary) << "REGEDIT4\r\n";
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        SaveOneValue(static_cast<uint32_t>(mode));
        struct stat info;
        ASSERT_EQ(stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_NE(Contents().find("\"A\"=dword:"), std::string::npos);
        std::remove(file.c_str());
    }
}

TEST_F(SettingsFileTest, AStoreWithAByteOrderMarkIsReadAndKeepsOneHeader) {
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "/sub'").c_str()), 0);
    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\"A\"=dword:00000003\r\n";
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.OpenSettingsKey("Software\\T");
    ASSERT_NE(key, nullptr);
    uint32_t v = 0, size = 4;
    EXPECT_TRUE(os.QueryValue(key, "A", &v, &size));
    EXPECT_EQ(v, 3u);
    os.CloseSettingsKey(key);
    SaveOneValue(4);
    EXPECT_EQ(Contents(), "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\T]\r\n\"A\"=dword:00000004\r\n");
}

TEST(DecimalSeparatorTest, FollowsTheEnvironmentsNumericLocale) {
    const char* old = std::getenv("LC_ALL");
    std::string saved = old ? old : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(platform::os().DecimalSeparator(), '.');
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    locale_t de = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
    if (de) {
        freelocale(de);
        EXPECT_EQ(platform::os().DecimalSeparator(), ',');
    }
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

}  // namespace
