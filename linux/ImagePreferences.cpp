#include "ImagePreferences.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool IsTrue(std::string value) {
    std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return std::tolower(c); });
    return value == "true" || value == "on" || value == "yes" || value == "1";
}

}  // namespace

void ApplyResourceText(const std::string& text, const std::string& home, ImagePreferences& preferences) {
    std::istringstream lines(text);
    std::string line, resource;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.back() == '\\') {  // goes on in the next line
            resource += line.substr(0, line.size() - 1);
            continue;
        }
        resource += line;
        const std::string entry = Trim(resource);
        resource.clear();
        if (entry.empty() || entry[0] == '!' || entry[0] == '#') continue;
        const size_t colon = entry.find(':');
        if (colon == std::string::npos) continue;
        std::string name = Trim(entry.substr(0, colon));
        const size_t dot = name.find_last_of("*.");  // "*name", "XScreenSaver.name"
        if (dot != std::string::npos) name = name.substr(dot + 1);
        const std::string value = Trim(entry.substr(colon + 1));
        if (name == "grabDesktopImages") {
            preferences.grabDesktopImages = IsTrue(value);
        } else if (name == "chooseRandomImages") {
            preferences.chooseRandomImages = IsTrue(value);
        } else if (name == "imageDirectory") {
            preferences.imageDirectory = value.rfind("~/", 0) == 0 ? home + value.substr(1) : value;
        }
    }
}

ImagePreferences UsersImagePreferences(const std::string& home) {
    ImagePreferences preferences;
    for (const std::string& path : {std::string("/etc/X11/app-defaults/XScreenSaver"), home + "/.xscreensaver"}) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        if (file) ApplyResourceText(text.str(), home, preferences);
    }
    return preferences;
}

std::vector<BackdropSource> BackdropSources(const ImagePreferences& preferences) {
    std::vector<BackdropSource> sources;
    if (preferences.grabDesktopImages) sources = {BackdropSource::Screenshot, BackdropSource::RootPicture};
    if (preferences.chooseRandomImages && !preferences.imageDirectory.empty()) {
        sources.push_back(BackdropSource::ImageFile);
    }
    sources.push_back(BackdropSource::Dusk);
    return sources;
}
