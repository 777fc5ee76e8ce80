// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCommandLineParser;

// Declares the options that QApplication and its platform plugins take from
// the command line themselves (-platform offscreen, -style fusion, -geometry
// ...), so that ours can be read before the application object exists.
// Hidden from the help unless `listed` (--help-all).
void declareQtOptions(QCommandLineParser &parser, bool listed);
