// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/limits_file.h"

#include <cstdint>
#include <cstdlib>

// Arbitrary bytes as a limits file: refused cleanly, or written back and read
// again to the very same limits.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = QStringLiteral("fuzzed.txt");
    const LimitsFileReading reading = parseLimitsFile(text, name);
    if (!reading.file)
        return 0;
    const LimitsFileReading again = parseLimitsFile(formatLimitsFile(*reading.file), name);
    if (!again.file || !(*again.file == *reading.file))
        std::abort();
    return 0;
}
