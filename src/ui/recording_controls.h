#pragma once

#include <QString>

class DashForm;
class Recorder;

// A recorder owned by the window. It hears every line the window handles and
// every lost connection; Ctrl+R starts it into `defaultFolder`, or stops it;
// the title shows " [REC]" or " [REC FAILED]".
Recorder *attachRecorder(DashForm &form, const QString &defaultFolder);
