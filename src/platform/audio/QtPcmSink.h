#pragma once

#include <QAudioDevice>
#include <QAudioFormat>
#include <memory>

#include "PcmSink.h"

class QAudioSink;

// Plays through the sound server with a Qt Multimedia sink in pull mode.
class QtPcmSink : public PcmSink {
public:
    QtPcmSink(const QAudioDevice& device, const QAudioFormat& format);
    ~QtPcmSink() override;

    bool start(QIODevice* source) override;
    void suspend() override;
    void resume() override;
    void stop() override;
    qint64 playedFrames() override;
    bool drained() override;

private:
    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* source_ = nullptr;
};
