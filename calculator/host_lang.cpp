#include "host_lang.h"

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <typeinfo>

namespace calc {

namespace {

constexpr size_t kMaxDescription = 1023;
constexpr int kButtonMessage = 0;

std::string Demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    return status == 0 && plain ? std::string(plain.get()) : std::string(name);
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ModulePath(const host::HostStartupInfo& host) {
    return std::string(host.moduleName, strnlen(host.moduleName, sizeof host.moduleName));
}

}  // namespace

const char* GetMsgText(const host::HostStartupInfo& host, int number) {
    return host.getMsg(host.moduleNumber, number);
}

std::string DescribeCurrentException(const std::string& modulePath) {
    std::string kind = "unknown";
    std::string message;
    try {
        std::exception_ptr current = std::current_exception();
        if (current) std::rethrow_exception(current);
    } catch (const std::exception& e) {
        kind = Demangle(typeid(e).name());
        message = e.what();
    } catch (...) {
        if (const std::type_info* type = abi::__cxa_current_exception_type()) kind = Demangle(type->name());
    }
    std::string description = "Exception " + kind + " in module " + FileNameOf(modulePath) + " at 00000000.\n" + message;
    if (!message.empty() && message.back() != '.') description += '.';
    if (description.size() > kMaxDescription) description.resize(kMaxDescription);
    return description;
}

std::vector<std::string> ExceptionNoticeLines(const std::string& description, const std::string& button) {
    std::string text = description;
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    std::vector<std::string> lines = {"Application Error"};
    size_t start = 0;
    for (size_t period = text.find(". "); period != std::string::npos; period = text.find(". ", start)) {
        lines.push_back(text.substr(start, period - start));
        start = period + 2;
    }
    lines.push_back(text.substr(start));
    lines.push_back(button);
    return lines;
}

void ShowExceptionNotice(const host::HostStartupInfo& host) {
    try {
        const char* button = GetMsgText(host, kButtonMessage);
        std::vector<std::string> lines =
            ExceptionNoticeLines(DescribeCurrentException(ModulePath(host)), button ? button : "");
        std::vector<const char*> items;
        for (const std::string& line : lines) items.push_back(line.c_str());
        host.message(host.moduleNumber, host::kMsgWarning, "Exception", items.data(),
                     static_cast<int>(items.size()), 1);
    } catch (...) {
        // Nothing more can be reported; the entry point returns normally.
    }
}

}  // namespace calc
