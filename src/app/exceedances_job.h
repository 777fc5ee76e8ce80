// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct CommandLine;

// --exceedances: one line per exceedance in the recording and their count
// on stdout. Returns the exit status: 2 for a recording or limits file that
// does not read cleanly, said on stderr.
int listExceedances(const CommandLine &options);
