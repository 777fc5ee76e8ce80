// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct CommandLine;

// --runs: the engine runs in a folder of recordings and their totals on
// stdout, as text or (--csv) CSV. Returns the exit status: 2 for a folder
// that does not exist or a limits file that does not read, said on stderr;
// files that are not recordings are listed, not refused.
int listRuns(const CommandLine &options);
