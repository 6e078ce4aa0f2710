#include "vexil/settings/settings_store.h"

#include <cstdio>
#include <cstring>

#include "vexil/frame/module_state.h"
#include "platform/platform.h"

namespace vexil {

namespace {

constexpr char kGeneral[] = "General";
constexpr char kEncode[] = "Encode";

// "<keyPath>\<subkey>" in at most 79 characters, as the store's paths are kept.
void FormatSubkeyPath(char (&path)[80], const char* keyPath, const char* subkey) {
    std::snprintf(path, sizeof path, "%s\\%s", keyPath, subkey);
}

// One entry per stored value, in load and save order.
struct SettingField {
    const char* subkey;
    const char* name;
    int32_t EncodeSettings::*field;
    int32_t fallback;
};

constexpr SettingField kFields[] = {
    {kGeneral, "SuppressOutput", &EncodeSettings::SuppressOutput, 0},
    {kGeneral, "AssociateWithFiles", &EncodeSettings::AssociateWithFiles, 1},
    {kGeneral, "OnlyShortFilenames", &EncodeSettings::OnlyShortFilenames, 0},
    {kEncode, "EnableSingleStorage", &EncodeSettings::EnableSingleStorage, 0},
    {kEncode, "SplitOutput", &EncodeSettings::SplitOutput, 0},
    {kEncode, "LinesPerSection", &EncodeSettings::LinesPerSection, 100},
    {kEncode, "AutoApply", &EncodeSettings::AutoApply, 1},
    {kEncode, "CharacterTable", &EncodeSettings::CharacterTable, 1},
    {kEncode, "Checksums", &EncodeSettings::Checksums, 1},
    {kEncode, "CRC", &EncodeSettings::CRC, 1},
    {kEncode, "EncodingType", &EncodeSettings::EncodingType, 0},
};

}  // namespace

int32_t ReadSetting(const char* keyPath, const char* subkey, const char* name, int32_t fallback) {
    char path[80];
    FormatSubkeyPath(path, keyPath, subkey);
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.OpenSettingsKey(path);
    if (key == nullptr) return fallback;
    unsigned char bytes[4] = {0, 0, 0, 0};
    uint32_t size = sizeof bytes;
    const bool found = os.QueryValue(key, name, bytes, &size);
    os.CloseSettingsKey(key);
    if (!found) return fallback;
    uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                     static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

void WriteSetting(const char* keyPath, const char* subkey, const char* name, int32_t value) {
    char path[80];
    FormatSubkeyPath(path, keyPath, subkey);
    platform::Os& os = platform::os();
    platform::SettingsKey* key = os.CreateSettingsKey(path);
    if (key == nullptr) return;
    os.SetDword(key, name, static_cast<uint32_t>(value));
    os.CloseSettingsKey(key);
}

EncodeSettings ReadSettings(const char* keyPath) {
    EncodeSettings settings;
    for (const SettingField& f : kFields)
        settings.*f.field = ReadSetting(keyPath, f.subkey, f.name, f.fallback);
    if (settings.LinesPerSection < 0) settings.LinesPerSection = 100;
    if (settings.EncodingType != 0 && settings.EncodingType != 1) settings.EncodingType = 0;
    return settings;
}

void WriteSettings(const char* keyPath, const EncodeSettings& settings) {
    for (const SettingField& f : kFields) WriteSetting(keyPath, f.subkey, f.name, settings.*f.field);
}

void LoadSettings() { Module().settings = ReadSettings(Module().settingsKeyPath); }

void SaveSettings() { WriteSettings(Module().settingsKeyPath, Module().settings); }

}  // namespace vexil
