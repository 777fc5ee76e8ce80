// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <memory>

class QAudioSink;

// A short two-note tone for a new alarm. A machine without an audio device
// plays nothing: `available` says so, and the caller says so once.
class AlarmTone : public QObject {
    Q_OBJECT
public:
    explicit AlarmTone(QObject *parent = nullptr);
    ~AlarmTone() override;

    bool available() const { return sink != nullptr; }
    void play();
    void stop();

private:
    QByteArray samples;
    QBuffer source;
    std::unique_ptr<QAudioSink> sink;
};
