// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Reads arbitrary bytes as a settings file; one that is accepted, written
// back and read again must give the same settings and header.

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "settings-file-fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(maximumSettingsFileBytes))
        return 0;
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const SettingsFileReading first = parseSettingsFile(text, QStringLiteral("fuzz.txt"));
    require(first.file.has_value() != !first.error.isEmpty(), "both a file and an error, or neither");
    if (!first.file)
        return 0;
    const SettingsFileReading again =
        parseSettingsFile(formatSettingsFile(*first.file), QStringLiteral("again.txt"));
    require(again.file.has_value(), "a file written back is refused");
    const SettingsFile &a = *first.file;
    const SettingsFile &b = *again.file;
    require(a.values == b.values, "values differ once written back");
    require(a.maxTemperature == b.maxTemperature, "max temperature differs");
    require(a.header.program == b.header.program && a.header.port == b.header.port
                && a.header.firmware == b.header.firmware,
            "header differs");
    require(a.header.savedAt == b.header.savedAt, "saved time differs");
    return 0;
}
