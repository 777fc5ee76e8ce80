// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/local_clock.h"

#include <memory>

namespace {

constexpr qint64 offsetLifeMs = 60'000;

struct CachedOffset {
    qint64 lookedUpAtMs = 0;
    int seconds = 0;
    bool known = false;
};

} // namespace

std::function<QDateTime()> cachedLocalClock()
{
    return [offset = std::make_shared<CachedOffset>()] {
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        const qint64 now = utc.toMSecsSinceEpoch();
        // A clock set back looks the offset up again too.
        if (!offset->known || now - offset->lookedUpAtMs >= offsetLifeMs
            || now < offset->lookedUpAtMs) {
            offset->seconds = utc.toLocalTime().offsetFromUtc();
            offset->lookedUpAtMs = now;
            offset->known = true;
        }
        return utc.toOffsetFromUtc(offset->seconds);
    };
}
