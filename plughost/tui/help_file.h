// Help files, in the host's help format: header lines, then topics.
//
//   .Language=English,English   header lines (starting with '.') before the
//   .PluginContents=Title       first topic; the first names the language
//   @TopicName                  starts a topic (the rest of the line is its name)
//   $Title of the topic         optional, the first line after the @ line
//   text lines ...              a blank line separates paragraphs
//
// In titles and text, #text# is emphasis and ~text~@Topic@ a link: both are
// shown as their text; ## @@ ~~ stand for the character itself, and a
// leading ^ (centred) is dropped. "Contents" is the plugin's contents topic.
// Lines are word-wrapped to the help window when they are too long.
#pragma once

#include <string>
#include <string_view>

#include "screen.h"

namespace plughost::tui {

// The text of a help line with its markup removed.
std::string RenderHelpLine(std::string_view line);

// Finds `topic` in the help text; false when the text has no such topic.
bool FindHelpTopic(std::string_view helpText, const std::string& topic, HelpTopic* out);

// Reads the help file at `path` and finds `topic` in it.
bool ReadHelpTopic(const std::string& path, const std::string& topic, HelpTopic* out);

}  // namespace plughost::tui
