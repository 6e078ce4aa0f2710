// Persistence of the EncodeSettings record in the settings store (the
// registry under the current user, or its file stand-in on POSIX).
//
// Layout: <keyPath>\General holds SuppressOutput, AssociateWithFiles,
// OnlyShortFilenames; <keyPath>\Encode holds EnableSingleStorage, SplitOutput,
// LinesPerSection, AutoApply, CharacterTable, Checksums, CRC, EncodingType.
// Values are loaded and saved in exactly that order, each with its own open
// and close of the subkey. Failures are never reported: a missing key or value
// loads as its default, a key that cannot be created loses the value.
#pragma once

#include <cstdint>

#include "vexil/frame/encode_settings.h"

namespace vexil {

// Reads one 32-bit value of <keyPath>\<subkey>; `fallback` when the key or
// value is missing or the value is longer than 4 bytes. A shorter value fills
// the low bytes and leaves the rest zero.
int32_t ReadSetting(const char* keyPath, const char* subkey, const char* name, int32_t fallback);
// Writes one 32-bit value, creating <keyPath>\<subkey> if needed.
void WriteSetting(const char* keyPath, const char* subkey, const char* name, int32_t value);

// Loads all eleven values under `keyPath` and corrects them: a negative
// LinesPerSection becomes 100, an EncodingType other than 0 or 1 becomes 0.
EncodeSettings ReadSettings(const char* keyPath);
void WriteSettings(const char* keyPath, const EncodeSettings& settings);

// The live record of the module (Module().settings) under Module().settingsKeyPath.
void LoadSettings();
void SaveSettings();

}  // namespace vexil
