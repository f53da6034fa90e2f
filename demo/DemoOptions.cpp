#include "demo/DemoOptions.h"

namespace vm::demo {

namespace {

struct OptionSlot {
    const wchar_t* name;
    std::wstring DemoOptions::*value;
};

constexpr OptionSlot kOptions[] = {
    {L"--folder", &DemoOptions::startFolder},
    {L"--data", &DemoOptions::dataFolder},
};

const OptionSlot* FindOption(const std::wstring& argument) {
    for (const OptionSlot& option : kOptions) {
        if (argument == option.name)
            return &option;
    }
    return nullptr;
}

DemoOptionsParse Refused(std::wstring error) {
    return {std::nullopt, std::move(error)};
}

}  // namespace

DemoOptionsParse ParseDemoOptions(const std::vector<std::wstring>& arguments) {
    DemoOptions options;
    std::vector<const OptionSlot*> seen;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const OptionSlot* option = FindOption(arguments[i]);
        if (!option)
            return Refused(L"Unknown argument \u201c" + arguments[i] + L"\u201d.");
        if (i + 1 >= arguments.size() || arguments[i + 1].empty() || FindOption(arguments[i + 1]))
            return Refused(std::wstring(option->name) + L" needs a value.");
        for (const OptionSlot* earlier : seen) {
            if (earlier == option)
                return Refused(std::wstring(option->name) + L" is given twice.");
        }
        seen.push_back(option);
        options.*(option->value) = arguments[++i];
    }
    return {options, {}};
}

std::wstring DemoUsage() {
    return L"velmora-demo.exe [--folder PATH] [--data FOLDER]\n\n"
           L"--folder PATH\tstart Browse Mode in this folder of the demonstration machine\n"
           L"--data FOLDER\tkeep the saved machine and the settings in this folder";
}

}  // namespace vm::demo
