#include "serial/portfailure.h"

#include <utility>

#include "serial/portname.h"

namespace navorel {

std::string trimmedSystemMessage(std::string_view text)
{
    while (!text.empty()) {
        const auto last = static_cast<unsigned char>(text.back());
        if (last >= 0x20 && last != 0x7f && last != ' ' && last != '.')
            break;
        text.remove_suffix(1);
    }
    return std::string(text);
}

std::vector<std::string> openFailureLines(const PortOpenFailure &failure)
{
    std::vector<std::string> lines;
    if (std::string message = trimmedSystemMessage(failure.systemText); !message.empty())
        lines.push_back(std::move(message));
    if (failure.permission && failure.refusesUser)
        lines.emplace_back(kDialoutHint);
    else if (failure.permission && !failure.lockHolder.empty())
        lines.push_back(std::string("The device is in use by ").append(failure.lockHolder).append("."));
    if (const std::string device = portDevice(failure.portText); device != failure.portText)
        lines.push_back(failure.portText + " is the device " + device + " here.");
    return lines;
}

std::string lockHolderText(std::string_view program, std::int64_t pid)
{
    std::string text(program);
    if (!text.empty())
        text += " (";
    text.append("process ").append(std::to_string(pid));
    if (!program.empty())
        text += ')';
    return text;
}

} // namespace navorel
