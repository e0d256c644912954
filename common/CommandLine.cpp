#include "CommandLine.h"

#include "Contract.h"

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> arguments;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string argument;
        bool quoted = false;
        const bool first = arguments.empty();
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if (!quoted && (c == ' ' || c == '\t')) break;
            if (first) {  // the program's name: quotes group, backslashes are plain
                if (c == '"') quoted = !quoted;
                else argument += c;
                continue;
            }
            if (c == '\\') {
                size_t slashes = 0;
                while (i < line.size() && line[i] == '\\') ++slashes, ++i;
                if (i < line.size() && line[i] == '"') {
                    argument.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        argument += '"';
                        continue;
                    }
                } else {
                    argument.append(slashes, '\\');
                }
                --i;
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument += '"';  // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                continue;
            }
            argument += c;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::string QuoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    size_t slashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(slashes * 2, '\\');
    return quoted + "\"";
}

std::string ArgumentsOf(const std::string& fullCommandLine) {
    size_t i = 0;
    const std::string& s = fullCommandLine;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    if (i < s.size() && s[i] == '"') {
        const size_t close = s.find('"', i + 1);
        i = close == std::string::npos ? s.size() : close + 1;
    }
    while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

namespace {

bool IsOption(const std::string& argument, const char* option) {
    if (argument.size() != std::char_traits<char>::length(option)) return false;
    for (size_t i = 0; i < argument.size(); ++i) {
        const char c = argument[i];
        if ((c >= 'A' && c <= 'Z' ? char(c + 32) : c) != option[i]) return false;
    }
    return true;
}

}  // namespace

// A handle value: decimal digits only, not 0, and no larger than a handle
// of this build holds (a value is never cut to fit).
bool ReadHandle(const std::string& text, uint64_t limit, uint64_t& value) {
    if (text.empty() || text.size() > 20) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = uint64_t(c - '0');
        if (v > (limit - digit) / 10) return false;
        v = v * 10 + digit;
    }
    if (v == 0) return false;
    value = v;
    return true;
}

RendererArguments ParseRendererArguments(const std::vector<std::string>& arguments, uint64_t handleLimit) {
    RendererArguments parsed;
    std::vector<std::string> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool option = paths.empty();
        if (option && IsOption(argument, contract::kKeepResolutionOption)) {
            parsed.keepResolution = true;
            continue;
        }
        // A handle option takes the word after it whatever it is: a value
        // that is no handle is dropped (the renderer then runs unguarded),
        // never taken for a picture's path.
        uint64_t* handle = !option                                      ? nullptr
                           : IsOption(argument, contract::kSaverOption) ? &parsed.saverProcess
                           : IsOption(argument, contract::kJobOption)   ? &parsed.saverJob
                                                                        : nullptr;
        if (handle != nullptr && i + 1 < arguments.size()) {
            if (!ReadHandle(arguments[++i], handleLimit, *handle)) *handle = 0;
            continue;
        }
        paths.push_back(argument);
    }
    if (paths.size() == 2) {
        parsed.screenCopy = paths[0];
        parsed.lightPattern = paths[1];
    }
    return parsed;
}

std::string RendererArgumentText(const RendererArguments& arguments) {
    std::string text = arguments.keepResolution ? contract::kKeepResolutionOption : "";
    auto add = [&text](const std::string& word) { text += (text.empty() ? "" : " ") + word; };
    if (arguments.saverProcess != 0) add(std::string(contract::kSaverOption) + " " + std::to_string(arguments.saverProcess));
    if (arguments.saverJob != 0) add(std::string(contract::kJobOption) + " " + std::to_string(arguments.saverJob));
    const RendererArguments defaults;
    if (arguments.screenCopy != defaults.screenCopy || arguments.lightPattern != defaults.lightPattern) {
        add(QuoteArgument(arguments.screenCopy) + " " + QuoteArgument(arguments.lightPattern));
    }
    return text;
}

std::string RendererJobName(unsigned long saverProcessId, uint64_t number) {
    return contract::kRendererJobName + std::to_string(saverProcessId) + "." + std::to_string(number);
}
