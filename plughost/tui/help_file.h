// Help files: plain text split into topics.
//
//   @TopicName          starts a topic (the rest of the line is its name)
//   $Title of the topic optional, the first line after the @ line
//   text lines ...      shown as written; a blank line separates paragraphs
//
// Lines before the first topic are comments. Lines are word-wrapped to the
// help window when they are too long.
#pragma once

#include <string>
#include <string_view>

#include "screen.h"

namespace plughost::tui {

// Finds `topic` in the help text; false when the text has no such topic.
bool FindHelpTopic(std::string_view helpText, const std::string& topic, HelpTopic* out);

// Reads the help file at `path` and finds `topic` in it.
bool ReadHelpTopic(const std::string& path, const std::string& topic, HelpTopic* out);

}  // namespace plughost::tui
