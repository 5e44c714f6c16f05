#include "tools/demo/SetupSwitches.h"

#include <array>
#include <optional>
#include <string_view>

#include "tools/demo/DemoArguments.h"

namespace demo {
namespace {
constexpr std::array<std::string_view, 4> kRequiredFlags = {"sp-", "verysilent", "suppressmsgboxes", "NORESTART"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Applies one /TASKS= list; false with `error` set for a task the package has not.
bool ApplyTasks(std::string_view list, SetupRequest& request, std::string& error) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view task = Trim(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (task.empty()) continue;
        if (SameNoCase(task, "desktopicon")) {
            request.desktopIcon = true;
        } else {
            error = "unknown task \"" + std::string(task) + "\"";
            return false;
        }
    }
    return true;
}
}  // namespace

SetupSwitchesResult ParseSetupSwitches(const std::vector<std::string>& arguments) {
    SetupSwitchesResult result;
    std::array<bool, kRequiredFlags.size()> seen{};
    std::optional<std::string> dir;
    for (const std::string& argument : arguments) {
        bool known = false;
        for (std::size_t i = 0; i < kRequiredFlags.size(); ++i)
            if (IsSwitch(argument, kRequiredFlags[i])) seen[i] = known = true;
        if (known) continue;
        if (auto value = SwitchValue(argument, "DIR")) {
            dir = *value;
        } else if (auto tasks = SwitchValue(argument, "TASKS")) {
            if (!ApplyTasks(*tasks, result.request, result.error)) return result;
        } else if (auto source = SwitchValue(argument, "insur")) {
            result.request.installSource = *source;
        } else if (IsSwitch(argument, "CreateTaskbar")) {
            result.request.taskbar = true;
        } else if (IsSwitch(argument, "BookMark")) {
            result.request.bookmark = true;
        } else {
            result.error = "unknown switch " + argument;
            return result;
        }
    }
    for (std::size_t i = 0; i < kRequiredFlags.size(); ++i) {
        if (!seen[i]) {
            result.error = "missing /" + std::string(kRequiredFlags[i]);
            return result;
        }
    }
    if (!dir) {
        result.error = "missing /DIR=";
        return result;
    }
    if (!IsAbsoluteWindowsPath(*dir)) {
        result.error = "/DIR= is not an absolute folder: " + *dir;
        return result;
    }
    result.request.installDir = WithTrailingBackslash(*dir);
    result.ok = true;
    return result;
}

}  // namespace demo
