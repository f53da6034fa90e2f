// The popup menus of resources/menus.rc as the program's resource compiler
// sees them, read from the script itself (with the ids of resource.h), so
// that tests check the command table against the menus that ship.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Commands.h"

namespace vm::test {

struct ResourceMenuItem {
    std::string text;                     // the quoted text, or the name of its text macro
    MenuEntry entry;                      // id, separator, sub-menu
    std::vector<ResourceMenuItem> items;  // of a sub-menu
};

inline std::filesystem::path ResourceFolder() {
    return std::filesystem::path(__FILE__).parent_path() / ".." / ".." / ".." / "resources";
}

inline std::string ReadResourceFile(const std::string& name) {
    std::ifstream in(ResourceFolder() / name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read resources/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// #define NAME number of resource.h.
inline std::map<std::string, uint32_t> ResourceIds() {
    std::map<std::string, uint32_t> ids;
    std::istringstream lines(ReadResourceFile("resource.h"));
    const std::regex define(R"(^#define\s+(\w+)\s+(\d+)\b)");
    std::smatch match;
    for (std::string line; std::getline(lines, line);) {
        if (std::regex_search(line, match, define))
            ids[match[1]] = static_cast<uint32_t>(std::stoul(match[2]));
    }
    return ids;
}

class MenuScriptReader {
  public:
    MenuScriptReader() : ids_(ResourceIds()) {
        std::istringstream lines(ReadResourceFile("menus.rc"));
        for (std::string line; std::getline(lines, line);) {
            line = Trim(line);
            if (!line.empty() && line.rfind("//", 0) != 0)
                lines_.push_back(line);
        }
    }

    // The sub-menus of the one menu resource, in their order.
    std::vector<ResourceMenuItem> SubMenus() {
        while (at_ < lines_.size() && lines_[at_] != "BEGIN")
            ++at_;
        ++at_;
        return Items();
    }

  private:
    static std::string Trim(const std::string& text) {
        const size_t first = text.find_first_not_of(" \t\r");
        const size_t last = text.find_last_not_of(" \t\r");
        return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    }

    // Items up to the END of the current block.
    std::vector<ResourceMenuItem> Items() {
        std::vector<ResourceMenuItem> items;
        const std::regex popup(R"(^POPUP\s+(\"[^\"]*\"|\w+)$)");
        const std::regex item(R"(^MENUITEM\s+(\"[^\"]*\"|\w+)\s*,\s*(\w+)$)");
        std::smatch match;
        while (at_ < lines_.size()) {
            const std::string line = lines_[at_++];
            if (line == "END")
                return items;
            ResourceMenuItem read;
            if (line == "MENUITEM SEPARATOR") {
                read.entry.separator = true;
            } else if (std::regex_match(line, match, popup)) {
                read.text = Unquote(match[1]);
                read.entry.subMenu = true;
                ++at_;  // BEGIN
                read.items = Items();
                for (const ResourceMenuItem& inner : read.items)
                    read.entry.entries.push_back(inner.entry);
            } else if (std::regex_match(line, match, item)) {
                read.text = Unquote(match[1]);
                read.entry.id = ids_.at(match[2]);
            } else {
                throw std::runtime_error("menus.rc: cannot read \"" + line + "\"");
            }
            items.push_back(std::move(read));
        }
        return items;
    }

    static std::string Unquote(const std::string& text) {
        return text.size() >= 2 && text.front() == '"' ? text.substr(1, text.size() - 2) : text;
    }

    std::map<std::string, uint32_t> ids_;
    std::vector<std::string> lines_;
    size_t at_ = 0;
};

inline std::vector<ResourceMenuItem> ShippedSubMenus() {
    return MenuScriptReader().SubMenus();
}

// The entries of a sub-menu as the window reads them from the loaded menu.
inline std::vector<MenuEntry> EntriesOf(const ResourceMenuItem& subMenu) {
    return subMenu.entry.entries;
}

}  // namespace vm::test
