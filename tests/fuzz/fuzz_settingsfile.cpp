// Any bytes as a settings file; whatever is read stays within its range.

#include <cstddef>
#include <cstdint>
#include <string>

#include "prefs/settingsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string text(reinterpret_cast<const char *>(data), size);
    navorel::Settings settings;
    navorel::SettingsRecordTarget target(settings);
    navorel::readSettingsLines(navorel::TextLines::fromText(std::move(text)), target);
    if (settings.SatTime < 1 || settings.SatTime > 60 || settings.Port < -1 || settings.Port > 9
        || settings.Baud < -1 || settings.Baud > 10 || settings.Stop < -1 || settings.Stop > 1)
        __builtin_trap();
    return 0;
}
