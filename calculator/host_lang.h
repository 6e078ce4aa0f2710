// Message lookup in the calculator's language file and the exception
// notice, the host message box that reports an error escaping an entry point.
#pragma once

#include <string>
#include <vector>

#include "host/host_interface.h"

namespace calc {

// The text of message `number` of the language file, owned by the host.
const char* GetMsgText(const host::HostStartupInfo& host, int number);

// "Exception <kind> in module <file> at <address>.\n<message>[.]" for the
// error currently being handled, at most 1023 characters. C++ exceptions
// carry no fault address; it is written as 00000000.
std::string DescribeCurrentException(const std::string& modulePath);

// The lines of the notice: the title "Application Error", the description
// cut into one line per sentence (at every period followed by a space; that
// period and space dropped), and the button text last.
std::vector<std::string> ExceptionNoticeLines(const std::string& description, const std::string& button);

// Shows the notice for the error currently being handled (call from a catch
// block). Never throws.
void ShowExceptionNotice(const host::HostStartupInfo& host);

}  // namespace calc
