// Reads arbitrary bytes (the file as it is, any length) as voz.ini the way the program does, and
// traps as soon as a record breaks one of the rules below that the rest of the program relies on.
#include "core/files/message_font.h"
#include "core/files/settings_file.h"
#include "fuzz_check.h"
#include "support/files.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr int kRecord = SettingsRecord::kSize;

// One folder for the whole run: each input is written over the same voz.ini.
const QString& appPath()
{
    static QTemporaryDir dir;
    REQUIRE(dir.isValid());
    static const QString path = dir.path() + QLatin1Char('/');
    return path;
}

// Record n (1-based) of the file as its reader must see it: the bytes there, zero-filled.
QByteArray recordAt(const QByteArray& file, int n)
{
    QByteArray r = file.mid(static_cast<qsizetype>(n - 1) * kRecord, kRecord);
    return r + QByteArray(kRecord - r.size(), '\0');
}

// Decoding keeps a leading byte order mark, so that only invalid bytes change on the way back.
bool isValidUtf8(const QByteArray& b)
{
    QStringDecoder decode(QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString s = decode(b);
    return !decode.hasError() && s.toUtf8() == b;
}

// A field filled from s: exactly width bytes, whole characters only, the longest prefix of s's
// UTF-8 that fits, padded with blanks.
void checkField(const QString& s, int width)
{
    const QByteArray field = fitField(s, width);
    REQUIRE(field.size() == width);
    const QByteArray utf8 = s.toUtf8();
    // The longest prefix of s that the field holds before its padding.
    qsizetype used = std::min<qsizetype>(width, utf8.size());
    while (used > 0 && field != utf8.left(used) + QByteArray(width - used, ' ')) --used;
    REQUIRE(field == utf8.left(used) + QByteArray(width - used, ' '));
    REQUIRE(isValidUtf8(field.left(used)));
    if (used < utf8.size()) {
        // What was left out starts with a character that does not fit whole.
        REQUIRE((static_cast<unsigned char>(utf8.at(used)) & 0xC0) != 0x80);
        qsizetype next = used + 1;
        while (next < utf8.size() && (static_cast<unsigned char>(utf8.at(next)) & 0xC0) == 0x80) ++next;
        REQUIRE(next > width);
    }
}

// Trimming drops the blanks at both ends and nothing else.
void checkTrimmed(const QString& s)
{
    const QString t = trimBlanks(s);
    REQUIRE(!t.startsWith(QLatin1Char(' ')) && !t.endsWith(QLatin1Char(' ')));
    const qsizetype lead = t.isEmpty() ? s.size() : s.indexOf(t);
    REQUIRE(lead >= 0);
    REQUIRE(s.left(lead).count(QLatin1Char(' ')) == lead);
    const QString tail = s.mid(lead + t.size());
    REQUIRE(tail.count(QLatin1Char(' ')) == tail.size());
    REQUIRE(s.mid(lead, t.size()) == t);
}

void checkRecord(const SettingsRecord& rec, const QByteArray& bytes)
{
    REQUIRE(rec.LabelBytes.size() == SettingsRecord::kLabelWidth);
    REQUIRE(rec.TextBytes.size() == SettingsRecord::kTextWidth);
    REQUIRE(rec.toBytes() == bytes);
    REQUIRE(rec.Value1 == qFromLittleEndian<std::int16_t>(bytes.constData() + SettingsRecord::kLabelWidth));
    REQUIRE(rec.Value2 == qFromLittleEndian<std::int16_t>(bytes.constData() + SettingsRecord::kLabelWidth + 2));
    checkTrimmed(rec.Label());
    checkTrimmed(rec.Text());

    // The fields trimmed and written back, as the windows store what they read.
    SettingsRecord again = rec;
    const QString label = trimBlanks(rec.Label());
    const QString text = trimBlanks(rec.Text());
    again.setLabel(label);
    again.setText(text);
    checkField(label, SettingsRecord::kLabelWidth);
    checkField(text, SettingsRecord::kTextWidth);
    REQUIRE(again.toBytes().size() == kRecord);
    REQUIRE(label.startsWith(trimBlanks(again.Label())));
    REQUIRE(text.startsWith(trimBlanks(again.Text())));
    if (label.toUtf8().size() <= SettingsRecord::kLabelWidth) REQUIRE(trimBlanks(again.Label()) == label);
    if (text.toUtf8().size() <= SettingsRecord::kTextWidth) REQUIRE(trimBlanks(again.Text()) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const QString app = appPath();
    const QString path = settingsPath(app);
    const QByteArray file(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    REQUIRE(writeFile(path, file));

    // Every record there and one past the end, through one reader as the program reads them.
    const int records = static_cast<int>((file.size() + kRecord - 1) / kRecord);
    {
        SettingsReader reader(app);
        REQUIRE(reader.exists());
        for (int n = 0; n <= records + 1; ++n) {
            SettingsRecord rec;
            const bool whole = reader.read(n, rec);
            REQUIRE(whole == (n >= 1 && static_cast<qint64>(n) * kRecord <= file.size()));
            checkRecord(rec, n >= 1 ? recordAt(file, n) : QByteArray(kRecord, '\0'));
        }
    }

    // The message font size: only with its label, only what the input window can set, and the
    // shared buffer is left holding record 7 with its label trimmed.
    SettingsRecord buffer;
    const std::optional<int> fontSize = readMessageFontSize(app, buffer);
    const SettingsRecord seventh = SettingsRecord::fromBytes(recordAt(file, 7));
    const QString seventhLabel = trimBlanks(seventh.Label());
    REQUIRE(buffer.LabelBytes == fitField(seventhLabel, SettingsRecord::kLabelWidth));
    REQUIRE(buffer.Value1 == seventh.Value1 && buffer.Value2 == seventh.Value2);
    REQUIRE(buffer.TextBytes == seventh.TextBytes);
    if (fontSize) {
        REQUIRE(seventhLabel == QStringLiteral("[FontSize]"));
        REQUIRE(*fontSize == seventh.Value1);
        REQUIRE(*fontSize >= kMessageFontMin && *fontSize <= kMessageFontMax);
    }

    // Fields filled from any text, lone surrogates included.
    QString raw(file.size() / 2, Qt::Uninitialized);
    std::memcpy(raw.data(), file.constData(), static_cast<std::size_t>(raw.size()) * sizeof(QChar));
    checkField(raw, SettingsRecord::kLabelWidth);
    checkField(raw, SettingsRecord::kTextWidth);
    checkTrimmed(raw);

    // Storing one record, chosen by the input, inside or past the end of the file: that record
    // reads back as stored, the records before it keep their bytes (a gap reads as zeros) and so
    // does everything after it.
    const int n = static_cast<int>(size % 9) + 1;
    SettingsRecord rec = SettingsRecord::fromBytes(recordAt(file, n));
    rec.setLabel(trimBlanks(rec.Label()));
    rec.setText(trimBlanks(rec.Text()));
    std::swap(rec.Value1, rec.Value2);
    REQUIRE(storeSettingsRecord(app, n, rec));
    const QByteArray stored = readFile(path);
    const qsizetype start = static_cast<qsizetype>(n - 1) * kRecord;
    REQUIRE(stored.size() == std::max<qsizetype>(file.size(), start + kRecord));
    const qsizetype kept = std::min(file.size(), start);
    REQUIRE(stored.left(kept) == file.left(kept));
    REQUIRE(stored.mid(kept, start - kept) == QByteArray(start - kept, '\0'));
    REQUIRE(stored.mid(start, kRecord) == rec.toBytes());
    REQUIRE(stored.mid(start + kRecord) == file.mid(start + kRecord));
    SettingsReader reader(app);
    SettingsRecord back;
    REQUIRE(reader.read(n, back));
    REQUIRE(back.toBytes() == rec.toBytes());
    return 0;
}
