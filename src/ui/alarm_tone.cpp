// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarm_tone.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace {

constexpr int sampleRate = 22050;

// Two notes a fifth apart, each faded in and out so they do not click.
QByteArray toneSamples()
{
    const double notes[] = {880.0, 1320.0};
    constexpr double noteSeconds = 0.15;
    const int noteSamples = int(sampleRate * noteSeconds);
    QByteArray bytes(qsizetype(noteSamples) * 2 * 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(bytes.data());
    for (int n = 0; n < 2; ++n) {
        for (int i = 0; i < noteSamples; ++i) {
            const double fade = std::min({1.0, i / 300.0, (noteSamples - i) / 300.0});
            const double wave =
                std::sin(2 * std::numbers::pi * notes[n] * i / sampleRate) * fade * 0.4;
            out[n * noteSamples + i] = qToLittleEndian(qint16(wave * 32767));
        }
    }
    return bytes;
}

} // namespace

AlarmTone::AlarmTone(QObject *parent) : QObject(parent), samples(toneSamples())
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return;
    sink = std::make_unique<QAudioSink>(device, format);
    source.setBuffer(&samples);
}

AlarmTone::~AlarmTone() = default;

void AlarmTone::play()
{
    if (!sink)
        return;
    sink->stop();
    source.close();
    source.open(QIODevice::ReadOnly);
    sink->start(&source);
}

void AlarmTone::stop()
{
    if (sink)
        sink->stop();
}
