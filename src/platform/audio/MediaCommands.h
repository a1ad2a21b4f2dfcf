#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

#include "MediaCommand.h"

class AudioOutput;

struct MediaReply {
    MediaError error = MediaError::None;
    QString text;  // "playing", "paused", "stopped", or a number of milliseconds
};

// The media command-string interpreter: keeps open devices by alias (compared
// without regard to case) and carries out the commands of ParseMediaCommand.
// A command that fails has no effect and answers with its error code.
class MediaCommands : public QObject {
    Q_OBJECT
public:
    explicit MediaCommands(QObject* parent = nullptr);
    ~MediaCommands() override;

    MediaReply Send(const QString& command);

    // The process-wide interpreter, owned by the application object.
    static MediaCommands& Instance();

    // Sends through Instance(): returns the error code and puts the reply in *reply.
    static int SendString(const QString& command, QString* reply = nullptr);

    // Sees every command string given to SendString (tests record them); an
    // empty function removes it.
    static void SetObserver(std::function<void(const QString&)> observer);

private:
    MediaReply open(const MediaCommand& c);
    MediaReply play(AudioOutput& out, const MediaCommand& c);
    MediaReply seek(AudioOutput& out, const MediaCommand& c);
    MediaReply status(AudioOutput& out, const MediaCommand& c);
    MediaReply close(const QString& device);

    std::map<QString, std::unique_ptr<AudioOutput>> devices_;  // by lower-case alias
};
