#include "MediaCommand.h"

#include <QStringList>

namespace {

struct Tokens {
    QStringList words;
    MediaError error = MediaError::None;
};

// Splits at blanks; a double-quoted stretch is one word without its quotes.
Tokens tokenize(const QString& text) {
    Tokens out;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar c : text) {
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else
                word += c;
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) out.words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        out.error = MediaError::UnterminatedQuote;
    else if (inWord)
        out.words << word;
    return out;
}

bool is(const QString& word, const char* keyword) {
    return word.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

std::optional<qint64> parseMs(const QString& word) {
    if (word.isEmpty() || word.size() > 10) return std::nullopt;
    for (const QChar c : word)
        if (c < u'0' || c > u'9') return std::nullopt;
    const qint64 value = word.toLongLong();
    if (value > INT_MAX) return std::nullopt;
    return value;
}

// Reads the clauses after the device name: "wait", one status item, and
// keyword-value pairs.
class ClauseReader {
public:
    ClauseReader(const QStringList& words, MediaCommand& command) : words_(words), cmd_(command) {}

    MediaError read() {
        for (int i = 2; i < words_.size(); ++i) {
            const QString& w = words_[i];
            if (is(w, "wait")) {
                cmd_.wait = true;
            } else if (cmd_.verb == MediaVerb::Play && is(w, "repeat")) {
                cmd_.repeat = true;
            } else if (cmd_.verb == MediaVerb::Status) {
                if (sawItem_ || !statusItem(w)) return MediaError::UnrecognizedKeyword;
            } else {
                const QString* value = i + 1 < words_.size() ? &words_[i + 1] : nullptr;
                const MediaError e = pair(w, value);
                if (e != MediaError::None) return e;
                ++i;
            }
        }
        const bool needsItem = cmd_.verb == MediaVerb::Status || cmd_.verb == MediaVerb::Seek;
        return needsItem && !sawItem_ ? MediaError::MissingParameter : MediaError::None;
    }

private:
    MediaError pair(const QString& key, const QString* value) {
        const MediaVerb v = cmd_.verb;
        const bool known = (v == MediaVerb::Open && (is(key, "alias") || is(key, "type"))) ||
                           (v == MediaVerb::Play && (is(key, "from") || is(key, "to"))) ||
                           (v == MediaVerb::Seek && is(key, "to"));
        if (!known) return MediaError::UnrecognizedKeyword;
        if (!value) return MediaError::MissingParameter;
        if (is(key, "alias"))
            cmd_.alias = *value;
        else if (is(key, "type"))
            cmd_.type = *value;
        else if (v == MediaVerb::Seek)
            return seekTarget(*value);
        else if (const auto ms = parseMs(*value))
            (is(key, "from") ? cmd_.from : cmd_.to) = ms;
        else
            return MediaError::BadInteger;
        return MediaError::None;
    }

    MediaError seekTarget(const QString& value) {
        if (is(value, "start"))
            cmd_.seekTarget = SeekTarget::Start;
        else if (is(value, "end"))
            cmd_.seekTarget = SeekTarget::End;
        else if (const auto ms = parseMs(value))
            cmd_.seekTo = *ms;
        else
            return MediaError::BadInteger;
        sawItem_ = true;
        return MediaError::None;
    }

    bool statusItem(const QString& word) {
        if (is(word, "mode"))
            cmd_.item = StatusItem::Mode;
        else if (is(word, "position"))
            cmd_.item = StatusItem::Position;
        else if (is(word, "length"))
            cmd_.item = StatusItem::Length;
        else
            return false;
        sawItem_ = true;
        return true;
    }

    const QStringList& words_;
    MediaCommand& cmd_;
    bool sawItem_ = false;
};

std::optional<MediaVerb> verbOf(const QString& word) {
    static const std::pair<const char*, MediaVerb> verbs[] = {
        {"open", MediaVerb::Open},   {"close", MediaVerb::Close},   {"play", MediaVerb::Play},
        {"pause", MediaVerb::Pause}, {"resume", MediaVerb::Resume}, {"stop", MediaVerb::Stop},
        {"seek", MediaVerb::Seek},   {"status", MediaVerb::Status},
    };
    for (const auto& [name, verb] : verbs)
        if (is(word, name)) return verb;
    return std::nullopt;
}

}  // namespace

QString MediaErrorText(MediaError error) {
    switch (error) {
        case MediaError::None:
            return QStringLiteral("The command completed.");
        case MediaError::UnrecognizedCommand:
            return QStringLiteral("Unrecognized command.");
        case MediaError::MissingDevice:
            return QStringLiteral("No device name was given.");
        case MediaError::UnknownDevice:
            return QStringLiteral("No device is open by that name.");
        case MediaError::UnrecognizedKeyword:
            return QStringLiteral("Unrecognized keyword for this command.");
        case MediaError::MissingParameter:
            return QStringLiteral("A keyword lacks its value.");
        case MediaError::BadInteger:
            return QStringLiteral("A position is not a whole number.");
        case MediaError::UnterminatedQuote:
            return QStringLiteral("A quotation mark is not closed.");
        case MediaError::DuplicateAlias:
            return QStringLiteral("That alias is already in use.");
        case MediaError::CannotOpenFile:
            return QStringLiteral("The file cannot be played.");
        case MediaError::UnsupportedType:
            return QStringLiteral("Unsupported device type.");
        case MediaError::OutOfRange:
            return QStringLiteral("The position is out of range.");
    }
    return QStringLiteral("Unknown error.");
}

ParsedMediaCommand ParseMediaCommand(const QString& text) {
    ParsedMediaCommand out;
    const Tokens tokens = tokenize(text);
    if (tokens.error != MediaError::None) {
        out.error = tokens.error;
        return out;
    }
    const QStringList& words = tokens.words;
    const auto verb = words.isEmpty() ? std::nullopt : verbOf(words[0]);
    if (!verb) {
        out.error = MediaError::UnrecognizedCommand;
        return out;
    }
    out.command.verb = *verb;
    if (words.size() < 2) {
        out.error = MediaError::MissingDevice;
        return out;
    }
    out.command.device = words[1];
    out.error = ClauseReader(words, out.command).read();
    return out;
}
