#pragma once

#include <QString>
#include <QTime>
#include <functional>

// A small media player over the media command strings: one open file under an
// alias, played by millisecond ranges. It reports no errors: a failing command
// leaves things as they were and the queries then answer "" or 0.
class cMMedia {
public:
    // Sends one command and returns the reply; the default goes to the
    // process-wide media command interpreter.
    using Sender = std::function<QString(const QString& command)>;
    using Clock = std::function<QTime()>;

    cMMedia();
    explicit cMMedia(Sender sender, Clock clock = {});
    ~cMMedia();

    // Opens a .wav (.avi, .mid) file; the alias is its last three characters
    // plus the current minute. Any other ending opens nothing.
    void mmOpen(const QString& file);
    void mmClose();
    void mmPause();
    // With `repeat` the range plays again and again, without a gap, until stopped.
    void mmPlay(qint32 from, qint32 to, bool repeat = false);
    // Goes on with a paused range (a play without a range).
    void mmResume();
    void mmStop();
    void mmSeek(qint32 position);

    QString Filename() const { return sFilename_; }
    void setFilename(const QString& file) { mmOpen(file); }
    bool Wait() const { return bWait_; }
    void setWait(bool wait) { bWait_ = wait; }
    QString Alias() const { return sAlias_; }

    // Milliseconds; 0 when nothing is open or the reply is not a number.
    double Length();
    double Position();
    void setPosition(qint32 position) { mmSeek(position); }
    // "playing", "paused", "stopped", ... ; "" when nothing is open.
    QString Status();

    // The leading decimal number of a reply ("." as decimal point), 0 when none.
    static double LeadingNumber(const QString& reply);

private:
    QString send(const QString& command);

    Sender sender_;
    Clock clock_;
    QString sAlias_;
    QString sFilename_;
    bool bWait_ = false;
};
