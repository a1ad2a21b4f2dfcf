// Feeds the mask engine an arbitrary mask and settings, then arbitrary edits,
// Text assignments and date conversions. Any crash, sanitizer report or broken
// engine promise (MaskEngine::Inconsistency) is a finding.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "AppError.h"
#include "MaskEngine.h"

namespace {

const int kKeys[] = {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left,   Qt::Key_Right,
                     Qt::Key_Home,      Qt::Key_End,    Qt::Key_Insert, Qt::Key_Period,
                     Qt::Key_C,         Qt::Key_V,      Qt::Key_A,      Qt::Key_Up};

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool more() const { return pos_ < size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    QChar ch() {
        const uint8_t b = byte();
        return b == 0xFF ? QChar(0x20AC + byte()) : QChar(b);  // now and then beyond 8 bits
    }
    QString text() {
        QString s;
        for (int n = byte() % 24; n > 0 && more(); --n) s += ch();
        return s;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void Check(const MaskEngine& engine) {
    const QString problem = engine.Inconsistency();
    if (problem.isEmpty()) return;
    std::fprintf(stderr, "mask '%s' display '%s': %s\n", qPrintable(engine.Mask()),
                 qPrintable(engine.DisplayText()), qPrintable(problem));
    std::abort();
}

void Edit(MaskEngine& engine, Input& in) {
    switch (in.byte() % 12) {
        case 0:
        case 1:
        case 2:
            engine.KeyPress(in.ch());
            break;
        case 3:
        case 4: {
            const int key = kKeys[in.byte() % 12];
            engine.KeyDown(key, Qt::KeyboardModifiers::fromInt((in.byte() % 4) << 25));
            break;
        }
        case 5:
            engine.SetSelection(in.byte() - 8, in.byte() % 16);
            break;
        case 6:
            engine.Paste(in.text());
            break;
        case 7:
            engine.SetText(in.text());
            break;
        case 8:
            engine.Undo();
            break;
        case 9:
            engine.SetNumericValue(in.byte() & 1, in.text());
            break;
        case 10:
            (void)engine.Text();
            (void)engine.NumText();
            (void)engine.IsEmptyText();
            break;
        default: {
            const QString date = in.text();
            (void)engine.ValidDate(date, in.byte() % 16 - 1, in.text());
            (void)engine.TransFormDate(date, in.byte() % 15, in.byte() % 15, in.text(), in.text());
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    MaskEngine engine;
    try {
        engine.SetFieldType(in.byte() % 3);
        const uint8_t flags = in.byte();
        engine.SetMaskCharInclude(flags & 1);
        engine.SetPromptInclude(flags & 2);
        engine.SetInsertZerosInNumField(flags & 4);
        engine.SetCenturyON(flags & 8);
        engine.SetOverwriteMode(flags & 16);
        engine.SetLocked((flags & 0xE0) == 0xE0);
        engine.SetDecimalSeperator(QString(in.ch()));
        engine.SetPromptChar(QString(in.ch()));
        engine.SetSpecialChars(in.text());
        engine.SetChar2ActivateTranNextChar2Upper(in.text());
        engine.SetDateformat(in.byte() % 15);
        engine.SetDateSeperator(in.text());
        engine.SetInOutDateformat(in.byte() % 15);
        engine.SetInOutDateSeperator(in.text());
        engine.SetCentury(in.byte());
        // Lengths past a few dozen positions take the same paths, and every
        // edit's consistency check walks all of them: a long field now and
        // then, short ones otherwise, keeps each run cheap.
        const uint8_t length = in.byte();
        engine.SetMaxLength(length == 0xFF ? 1020 : length % 64);
        engine.SetMask(in.text());
    } catch (const AppError&) {
        return 0;  // a refused setting is a correct answer
    }
    Check(engine);
    while (in.more()) {
        Edit(engine, in);
        Check(engine);
    }
    return 0;
}
