#include "HackOptions.h"

#include <cerrno>
#include <cstdlib>

const char* const kHackUsage =
    "usage: tavelo [--root | --window-id ID | --window] [--fps] [--speed 0.25-4] [--display NAME]\n"
    "Calm, moving water over your desktop, for xscreensaver (GL: tavelo --root).\n";

unsigned long ParseWindowId(const std::string& text) {
    if (text.empty()) return 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos) {
        return 0;
    }
    errno = 0;
    const unsigned long id = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
    return errno == 0 ? id : 0;
}

namespace {

// "--name", "-name" or "--name=value" / "-name=value": the name and, after
// "=", the value.
bool Named(const std::string& argument, const char* name, std::string* inlineValue = nullptr) {
    std::string bare = argument;
    if (bare.rfind("--", 0) == 0) {
        bare.erase(0, 2);
    } else if (bare.rfind("-", 0) == 0) {
        bare.erase(0, 1);
    } else {
        return false;
    }
    const size_t equals = bare.find('=');
    if (bare.substr(0, equals) != name) return false;
    if (equals != std::string::npos) {
        if (inlineValue == nullptr) return false;
        *inlineValue = bare.substr(equals + 1);
    }
    return true;
}

}  // namespace

HackOptions ParseHackOptions(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    HackOptions options;
    bool root = false, ownWindow = false, windowId = false;
    for (size_t i = 0; i < args.size() && options.error.empty(); ++i) {
        const std::string& a = args[i];
        std::string value;
        bool hasValue = false;
        // The value of an option that takes one: after "=", or the next argument.
        auto take = [&](const char* name) {
            value.clear();
            if (!Named(a, name, &value)) return false;
            hasValue = !value.empty() || a.find('=') != std::string::npos;
            if (!hasValue && i + 1 < args.size()) {
                value = args[++i];
                hasValue = true;
            }
            if (!hasValue) options.error = std::string("--") + name + " needs a value";
            return true;
        };
        if (Named(a, "root")) {
            root = true;
        } else if (Named(a, "window")) {
            ownWindow = true;
        } else if (Named(a, "fps")) {
            options.fps = true;
        } else if (Named(a, "install")) {
        } else if (Named(a, "help") || Named(a, "h")) {
            options.help = true;
        } else if (take("window-id")) {
            if (!options.error.empty()) break;
            options.window = ParseWindowId(value);
            windowId = true;
            if (options.window == 0) options.error = "--window-id: not a window: " + value;
        } else if (take("speed")) {
            if (!options.error.empty()) break;
            char* end = nullptr;
            const double speed = std::strtod(value.c_str(), &end);
            if (value.empty() || end == nullptr || *end != '\0' || !(speed == speed)) {
                options.error = "--speed: not a number: " + value;
            } else {
                options.speed = speed < kLowestSpeed ? kLowestSpeed : speed > kHighestSpeed ? kHighestSpeed : speed;
            }
        } else if (take("display")) {
            options.display = value;
        } else if (take("visual") || take("delay")) {
        } else {
            options.error = "unknown option: " + a;
        }
    }
    const unsigned long saverWindow = xscreensaverWindow != nullptr ? ParseWindowId(xscreensaverWindow) : 0;
    if (windowId) {
        options.target = HackOptions::Target::GivenWindow;
    } else if (ownWindow) {
        options.target = HackOptions::Target::OwnWindow;
    } else if (saverWindow != 0) {
        options.target = HackOptions::Target::GivenWindow;
        options.window = saverWindow;
    } else if (root) {
        options.target = HackOptions::Target::Root;
    }
    return options;
}
