#include "vexil/settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/process_env.h"
#include "support/forwarding_os.h"
#include "support/temp_dir.h"
#include "vexil/frame/module_state.h"

namespace {

using vexil::EncodeSettings;

// Records the settings calls in a readable form.
class RecordingOs : public test::ForwardingOs {
public:
    platform::SettingsKey* OpenSettingsKey(const std::string& path) override {
        log.push_back("open " + path);
        return ForwardingOs::OpenSettingsKey(path);
    }
    platform::SettingsKey* CreateSettingsKey(const std::string& path) override {
        log.push_back("create " + path);
        return ForwardingOs::CreateSettingsKey(path);
    }
    bool QueryValue(platform::SettingsKey* key, const std::string& name, void* buffer, uint32_t* size) override {
        log.push_back("query " + name + " " + std::to_string(*size));
        return ForwardingOs::QueryValue(key, name, buffer, size);
    }
    bool SetDword(platform::SettingsKey* key, const std::string& name, uint32_t value) override {
        log.push_back("set " + name + "=" + std::to_string(static_cast<int32_t>(value)));
        return ForwardingOs::SetDword(key, name, value);
    }
    void CloseSettingsKey(platform::SettingsKey* key) override {
        log.push_back("close");
        ForwardingOs::CloseSettingsKey(key);
    }
    std::vector<std::string> log;
};

struct Field {
    const char* subkey;
    const char* name;
};
const Field kOrder[] = {
    {"General", "SuppressOutput"}, {"General", "AssociateWithFiles"}, {"General", "OnlyShortFilenames"},
    {"Encode", "EnableSingleStorage"}, {"Encode", "SplitOutput"}, {"Encode", "LinesPerSection"},
    {"Encode", "AutoApply"}, {"Encode", "CharacterTable"}, {"Encode", "Checksums"},
    {"Encode", "CRC"}, {"Encode", "EncodingType"},
};

std::vector<int32_t> Values(const EncodeSettings& s) {
    return {s.SuppressOutput, s.AssociateWithFiles, s.OnlyShortFilenames, s.EnableSingleStorage, s.SplitOutput,
            s.LinesPerSection, s.AutoApply, s.CharacterTable, s.Checksums, s.CRC, s.EncodingType};
}

// Each test works under a key no earlier run used; natively also in a store file of its own.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
#if !defined(_WIN32)
        storeFile = dir.File("registry.reg");
        platform::SetEnv("PLUGHOST_REGISTRY", storeFile);
#endif
        keyPath = "Software\\plughost-tests\\" + test::UniqueName("run") + "\\VEXIL";
    }

    test::TempDir dir;
    std::string storeFile;
    std::string keyPath;
};

TEST_F(SettingsStoreTest, MissingKeyLoadsDefaults) {
    const EncodeSettings s = vexil::ReadSettings(keyPath.c_str());
    EXPECT_EQ(Values(s), (std::vector<int32_t>{0, 1, 0, 0, 0, 100, 1, 1, 1, 1, 0}));
}

TEST_F(SettingsStoreTest, LoadOpensQueriesAndClosesOncePerValueInOrder) {
    EncodeSettings written;
    vexil::WriteSettings(keyPath.c_str(), written);
    RecordingOs os;
    {
        test::ScopedOs scope(os);
        vexil::ReadSettings(keyPath.c_str());
    }
    std::vector<std::string> expected;
    for (const Field& f : kOrder) {
        expected.push_back("open " + keyPath + "\\" + f.subkey);
        expected.push_back(std::string("query ") + f.name + " 4");
        expected.push_back("close");
    }
    EXPECT_EQ(os.log, expected);
}

TEST_F(SettingsStoreTest, SaveCreatesSubkeysAndWritesAllElevenInOrder) {
    EncodeSettings s;
    s.SuppressOutput = 1;
    s.AssociateWithFiles = 0;
    s.OnlyShortFilenames = 1;
    s.EnableSingleStorage = 1;
    s.SplitOutput = 1;
    s.LinesPerSection = 250;
    s.AutoApply = 0;
    s.CharacterTable = 0;
    s.Checksums = 0;
    s.CRC = 0;
    s.EncodingType = 1;
    RecordingOs os;
    {
        test::ScopedOs scope(os);
        vexil::WriteSettings(keyPath.c_str(), s);
    }
    const std::vector<int32_t> values = Values(s);
    std::vector<std::string> expected;
    for (size_t i = 0; i < std::size(kOrder); ++i) {
        expected.push_back("create " + keyPath + "\\" + kOrder[i].subkey);
        expected.push_back(std::string("set ") + kOrder[i].name + "=" + std::to_string(values[i]));
        expected.push_back("close");
    }
    EXPECT_EQ(os.log, expected);
    EXPECT_EQ(Values(vexil::ReadSettings(keyPath.c_str())), values);
}

TEST_F(SettingsStoreTest, LoadCorrectsLinesPerSectionAndEncodingType) {
    struct Case {
        int32_t lines, type;
        int32_t wantLines, wantType;
    };
    const Case cases[] = {
        {-5, 2, 100, 0}, {0, -1, 0, 0}, {1, 1, 1, 1}, {-1, 0, 100, 0}, {7, 3, 7, 0},
    };
    for (const Case& c : cases) {
        vexil::WriteSetting(keyPath.c_str(), "Encode", "LinesPerSection", c.lines);
        vexil::WriteSetting(keyPath.c_str(), "Encode", "EncodingType", c.type);
        const EncodeSettings s = vexil::ReadSettings(keyPath.c_str());
        EXPECT_EQ(s.LinesPerSection, c.wantLines) << "stored " << c.lines;
        EXPECT_EQ(s.EncodingType, c.wantType) << "stored " << c.type;
    }
}

TEST_F(SettingsStoreTest, ModuleLoadAndSaveUseTheModuleKeyPath) {
    vexil::ModuleState& m = vexil::Module();
    std::snprintf(m.settingsKeyPath, sizeof m.settingsKeyPath, "%s", keyPath.c_str());
    m.settings = EncodeSettings{};
    m.settings.LinesPerSection = 33;
    vexil::SaveSettings();
    m.settings = EncodeSettings{};
    vexil::LoadSettings();
    EXPECT_EQ(m.settings.LinesPerSection, 33);
    EXPECT_EQ(vexil::ReadSetting(keyPath.c_str(), "Encode", "LinesPerSection", -9), 33);
}

TEST_F(SettingsStoreTest, OverlongSubkeyPathIsCutToSeventyNineCharacters) {
    const std::string longKey = keyPath + std::string(80, 'k');
    RecordingOs os;
    {
        test::ScopedOs scope(os);
        vexil::ReadSetting(longKey.c_str(), "General", "SuppressOutput", 0);
    }
    ASSERT_FALSE(os.log.empty());
    EXPECT_EQ(os.log[0], "open " + longKey.substr(0, 79));
}

#if !defined(_WIN32)
// The store file natively: a malformed file yields defaults for what cannot
// be read and keeps the lines it does not understand on save.
TEST_F(SettingsStoreTest, MalformedStoreFileYieldsDefaultsAndKeepsUnknownLines) {
    const std::string section = "[HKEY_CURRENT_USER\\" + keyPath + "\\Encode]";
    {
        std::ofstream out(storeFile, std::ios::binary);
        out << "REGEDIT4\r\n\r\n"
            << section << "\r\n"
            << "\"LinesPerSection\"=dword:00000032\r\n"
            << "\"SplitOutput\"=dword:zz\r\n"
            << "this line means nothing\r\n"
            << "\"AutoApply\"=dword:00000000\r\n";
    }
    const EncodeSettings s = vexil::ReadSettings(keyPath.c_str());
    EXPECT_EQ(s.LinesPerSection, 50);
    EXPECT_EQ(s.SplitOutput, 0);
    EXPECT_EQ(s.AutoApply, 0);
    EXPECT_EQ(s.CharacterTable, 1);

    vexil::WriteSettings(keyPath.c_str(), s);
    std::ifstream in(storeFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("this line means nothing"), std::string::npos);
    EXPECT_EQ(vexil::ReadSettings(keyPath.c_str()).LinesPerSection, 50);
}

TEST_F(SettingsStoreTest, UnwritableStoreLocationLosesValuesSilently) {
    // A store below a plain file cannot be created, whoever runs the test.
    const std::string blocker = dir.Write("not-a-folder", "x");
    platform::SetEnv("PLUGHOST_REGISTRY", blocker + "/registry.reg");
    EncodeSettings s;
    s.LinesPerSection = 5;
    vexil::WriteSettings(keyPath.c_str(), s);
    EXPECT_EQ(vexil::ReadSettings(keyPath.c_str()).LinesPerSection, 100);
}
#endif

}  // namespace
