// Encoding jobs started from the plugins menu: the brief and the detailed
// encoding dialog and the job that encodes the selected files.
#pragma once

#include <string>

#include "vexil/frame/encode_settings.h"
#include "host/host_interface.h"

namespace vexil {

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

// `text` when it has at most `width` characters, else "..." and its last width - 3.
std::string ShortenTail(const std::string& text, size_t width);
// Removes one path separator from the end of a non-empty text, in place.
void StripTrailingBackslash(char* text);

}  // namespace vexil
