// Loads arbitrary bytes as a data file into the alarm lists and traps as soon as the result
// breaks a rule the rest of the program relies on.
//
// Input: a file as it is. An input that starts with a 0 byte (which no data file does) first
// sets the scene: 0, hour, minute, second of now, counts (low nibble alarms, high nibble
// messages already in the lists), selected alarm index, then 3 bytes per listed alarm and per
// listed message; the remaining bytes are the file.
#include "core/alarms/alarm_file.h"
#include "core/alarms/alarm_list.h"
#include "core/alarms/time_text.h"
#include "core/check_kit.h"
#include "fuzz_check.h"

#include <QDateTime>
#include <QSet>

#include <cstddef>
#include <cstdint>

namespace {

const char* const kWords[] = {"once", "twice", "thrice", "repeat"};
const QString kFileName = QStringLiteral("my.dat");

struct Reader {
    const std::uint8_t* p;
    std::size_t n;
    std::uint8_t byte()
    {
        if (n == 0) return 0;
        --n;
        return *p++;
    }
};

QString timeText(int secs) { return QTime(0, 0).addSecs(secs).toString(QStringLiteral("HH:mm:ss")); }

// Whether the program's own check takes the line.
bool passes(const CheckKit& kit, void (CheckKit::*check)(const QString&, std::int16_t&) const, const QString& line)
{
    std::int16_t answer = 1;
    (kit.*check)(line, answer);
    return answer != 0;
}
bool alarmOk(const CheckKit& kit, const QString& line) { return passes(kit, &CheckKit::CheckAlarmLine, line); }
bool messageOk(const CheckKit& kit, const QString& line) { return passes(kit, &CheckKit::CheckMessageLine, line); }

struct Scene {
    QString now = QStringLiteral("12:00:00");
    ListBox data;
    ListBox messages;
};

// A list with the same items and selection.
void copyList(const ListBox& from, ListBox& to)
{
    to.setItems(from.items());
    to.setListIndex(from.ListIndex());
}

// Lists as the program keeps them: alarms ordered and unique, everything later than now.
void readScene(Reader& in, Scene& s)
{
    if (in.n == 0 || in.p[0] != 0) return;
    in.byte();
    const int h = in.byte() % 24, m = in.byte() % 60, sec = in.byte() % 60;
    const int nowSecs = h * 3600 + m * 60 + sec;
    s.now = timeText(nowSecs);
    const std::uint8_t counts = in.byte();
    const std::uint8_t selected = in.byte();
    const int room = 86399 - nowSecs;  // seconds left after now
    auto later = [&](Reader& r) {
        const int v = r.byte() << 8 | r.byte();
        return nowSecs + 1 + v % room;
    };
    for (int i = 0; i < (counts & 15); ++i) {
        const std::uint8_t w = in.byte();
        if (room <= 0) continue;
        insertSorted(s.data, timeText(later(in)), QString::fromLatin1(kWords[w & 3]));
    }
    QSet<QString> taken;
    for (int i = 0; i < (counts >> 4); ++i) {
        const std::uint8_t w = in.byte();
        if (room <= 0) continue;
        const QString t = timeText(later(in));
        if (taken.contains(t)) continue;
        taken.insert(t);
        s.messages.AddItem(QStringLiteral("memo %1 at ").arg(w) + t);
    }
    if (selected < s.data.ListCount()) s.data.setListIndex(selected);
}

// The same file loaded record by record through the single-entry insert, the way the lists
// are filled by hand; the batch merge must give exactly this.
void loadOneByOne(const QStringList& records, qint64 count, const QString& now, const CheckKit& kit,
                  ListBox& data, ListBox& messages)
{
    for (qint64 i = 0; i < count; ++i) {
        const QString& r = records.at(i);
        if (isMessageRecord(r)) {
            if (!messageOk(kit, r) || timePassed(r, now)) continue;
            bool taken = false;
            for (const QString& e : messages.items()) taken = taken || e.right(8) == r.right(8);
            if (!taken) messages.AddItem(r);
        } else if (alarmOk(kit, r) && !timePassed(r, now)) {
            insertSorted(data, r.right(8), r.left(r.size() - 9));
        }
    }
}

// Loading one by one is quadratic; beyond this many records the comparison is skipped.
constexpr qint64 kOneByOneLimit = 3000;

void checkLoad(const QByteArray& content, const Scene& before)
{
    const CheckKit kit(QDateTime(QDate(2026, 12, 7), QTime::fromString(before.now, QStringLiteral("HH:mm:ss"))));
    ListBox data, messages;
    copyList(before.data, data);
    copyList(before.messages, messages);
    const LoadReport report = mergeDataFile(content, kFileName, before.now, kit, data, messages);

    // Alarms: strictly ascending (so no shared time), each a good line later than now.
    for (int i = 0; i < data.ListCount(); ++i) {
        const QString& e = data.items().at(i);
        REQUIRE(alarmOk(kit, e));
        REQUIRE(!timeNotLaterThan(e, before.now));
        if (i > 0) REQUIRE(compareTimeKeys(timeKeyOf(data.items().at(i - 1)), timeKeyOf(e)) < 0);
    }
    for (const QString& e : before.data.items()) REQUIRE(data.items().contains(e));
    REQUIRE(data.CurrentText() == before.data.CurrentText());
    REQUIRE((data.ListIndex() < 0) == (before.data.ListIndex() < 0));

    // Messages: those already there stay in front; each added one is later than now and the
    // only one for its time.
    const qsizetype kept = before.messages.items().size();
    REQUIRE(messages.items().size() >= kept);
    REQUIRE(messages.items().mid(0, kept) == before.messages.items());
    for (const QString& e : messages.items()) REQUIRE(messageOk(kit, e));
    QSet<QString> messageTimes;
    for (const QString& e : before.messages.items()) messageTimes.insert(e.right(8));
    for (qsizetype i = kept; i < messages.items().size(); ++i) {
        const QString& e = messages.items().at(i);
        REQUIRE(!timeNotLaterThan(e, before.now));
        REQUIRE(!messageTimes.contains(e.right(8)));
        messageTimes.insert(e.right(8));
    }

    // The report: after the file's name, by its number from 1, each record that is neither kind of
    // good line; reading stops at the eighth of them, with a closing line.
    const QStringList records = readDataFields(content);
    QStringList bad;
    qint64 read = 0;
    while (read < records.size() && bad.size() < 8) {
        const QString& r = records.at(read++);
        if (!alarmOk(kit, r) && !messageOk(kit, r)) bad << QStringLiteral("Invalid data in file, Data  %1").arg(read);
    }
    REQUIRE(report.recordsRead == read);
    REQUIRE(report.badRecords == bad.size());
    if (bad.size() == 8) bad << kFileName + QStringLiteral(" seems to be wrong format");
    if (!bad.isEmpty()) bad.prepend(kFileName);
    REQUIRE(report.errorLines == bad);

    if (report.recordsRead <= kOneByOneLimit) {
        ListBox refData, refMessages;
        copyList(before.data, refData);
        copyList(before.messages, refMessages);
        loadOneByOne(records, report.recordsRead, before.now, kit, refData, refMessages);
        REQUIRE(data.items() == refData.items());
        REQUIRE(data.ListIndex() == refData.ListIndex());
        REQUIRE(messages.items() == refMessages.items());
    }

    // Saving the lists and loading the saved file gives the same lists back. Every entry is
    // later than now, so a load at midnight drops none of them.
    ListBox againData, againMessages;
    const LoadReport again = mergeDataFile(composeDataFile(data, messages), kFileName, QStringLiteral("00:00:00"),
                                           kit, againData, againMessages);
    REQUIRE(again.badRecords == 0);
    REQUIRE(again.recordsRead == data.ListCount() + messages.ListCount());
    REQUIRE(againData.items() == data.items());
    REQUIRE(againMessages.items() == messages.items());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    Reader in{bytes, size};
    Scene scene;
    readScene(in, scene);
    checkLoad(QByteArray(reinterpret_cast<const char*>(in.p), static_cast<qsizetype>(in.n)), scene);
    return 0;
}
