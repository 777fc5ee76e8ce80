// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Hands Qt's messages on to the handler installed before, but drops a warning
// equal to the warning before it: an open retried while the device is away
// fails the same way each time, and the journal needs it once.
void installRepeatFilter();
