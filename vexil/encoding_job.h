// Encoding jobs: the encoding dialogs behind the plugins menu's first entry
// and the copying of files onto a storage panel (PutFiles).
#pragma once

#include <string>

#include "encode_settings.h"
#include "host/host_interface.h"

namespace vexil {

class Storage;

enum class EncodingDialogForm { kBrief, kDetailed };

// The plugins menu's first entry: the brief dialog with the live settings
// when AutoApply is 1, else the detailed one.
void StartEncoding();

// The detailed dialog on a copy of the live settings: what the user changes
// there holds for this one job.
void ShowDetailedEncodingDialog();

// Shows the dialog for the selected items of the active panel and encodes
// them into the target the user accepts, then unselects the files encoded
// completely and refreshes both panels.
void RunEncodingDialog(EncodingDialogForm form, EncodeSettings& settings);

// Appends each of the `count` items (names relative to the current
// directory) to the storage's first plain-text file; stops when the user
// cancels the job. Returns 0.
int PutFiles(Storage& storage, const host::PanelItem* items, int count);

// `text` when it has at most `width` characters, else "..." and its last width - 3.
std::string ShortenTail(const std::string& text, size_t width);
// Removes one path separator from the end of a non-empty text, in place.
void StripTrailingBackslash(char* text);

}  // namespace vexil
