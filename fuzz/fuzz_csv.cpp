// The inventory's CSV on arbitrary names and refusal texts. Read back by a
// strict RFC 4180 reader, every record has the header's fields, ends in CR LF,
// and gives back the name and the text exactly; the name's cell never starts
// as a spreadsheet formula.

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "Inventory.h"
#include "NativeName.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

// The fields of one CSV record that makes up all of `text`; aborts on
// anything RFC 4180 does not allow.
QList<QString> Fields(const QString& text) {
    Require(text.endsWith(QLatin1String("\r\n")));
    const QStringView body = QStringView(text).chopped(2);
    QList<QString> fields;
    QString field;
    qsizetype i = 0;
    for (;;) {
        if (i < body.size() && body[i] == u'"') {
            for (++i;; ++i) {
                Require(i < body.size());
                if (body[i] != u'"') {
                    field += body[i];
                } else if (i + 1 < body.size() && body[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            for (; i < body.size() && body[i] != u','; ++i) {
                Require(body[i] != u'"' && body[i] != u'\r' && body[i] != u'\n');
                field += body[i];
            }
        }
        fields << field;
        field.clear();
        if (i == body.size()) return fields;
        Require(body[i] == u',');
        ++i;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte: the row's kind; then the name, a NUL, the refusal text.
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const qsizetype nul = rest.indexOf('\0');
    mUtility::InventoryRow row;
    row.Path = NativeName::Decode(nul < 0 ? rest : rest.left(nul));
    row.Refusal = nul < 0 ? QString() : QString::fromUtf8(rest.mid(nul + 1));
    row.Type = QStringLiteral("SND");
    row.Valid = data[0] & 1;
    row.HasHeader = data[0] & 2;
    row.InternalID = qint8(data[0]);
    row.Frames = data[0] & 4 ? data[0] : -1;
    row.Seconds = data[0] & 4 ? data[0] / 7.0 : -1;
    const bool hash = data[0] & 8;
    if (hash) row.Sha256 = QByteArray(64, 'a');

    const QList<QString> header = Fields(mUtility::CsvHeaderLine(hash));
    const QList<QString> fields = Fields(mUtility::CsvLine(row, hash));
    Require(fields.size() == header.size());
    const QString& path = fields[0];
    Require(path == row.Path || path == QLatin1String("./") + row.Path);
    Require(!path.startsWith(u'=') && !path.startsWith(u'+') && !path.startsWith(u'-') &&
            !path.startsWith(u'@'));
    Require(fields[3] == row.Refusal);
    return 0;
}
