// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct CommandLine;

// --report: the recording's report as text on stdout and, with --pdf, as a
// page in a PDF file. No window opens and no display is needed. Returns the
// exit status: 2 for a recording or limits file that does not read cleanly,
// 1 for a PDF that cannot be written, each said on stderr.
int writeReport(const CommandLine &options, int &argc, char **argv);
