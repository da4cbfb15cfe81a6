#include "core/alarms/alarm_file.h"

#include "core/alarms/alarm_list.h"
#include "core/alarms/time_text.h"
#include "core/check_kit.h"
#include "core/files/quoted_fields.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A data file's fields: blanks and tabs before a field are skipped, the rest of an unquoted field
// is kept, and the next quote closes a quoted one. A blank line is an empty record, which the
// load reports as bad.
const QuotedFieldRules kDataFileFields{.blanks = " \t", .trimUnquoted = false, .doubledQuotes = false};

QStringList readDataFields(const QByteArray& content) { return QuotedFieldReader(content, kDataFileFields).all(); }

QByteArray composeDataFile(const ListBox& lstData, const ListBox& lstMessage)
{
    QByteArray out;
    auto put = [&out](const QString& entry) {
        out += '"';
        out += entry.toUtf8();
        out += "\"\r\n";
    };
    for (const QString& e : lstData.items()) put(e);
    for (const QString& e : lstMessage.items()) put(e);
    return out;
}

bool writeFileSafely(const QString& path, const QByteArray& bytes, QString* error)
{
    // Every step is checked by hand: QSaveFile buffers, and a failed flush inside its commit()
    // still renamed the short file over the old one and reported success.
    auto fail = [error](int code) {
        if (error) *error = qt_error_string(code);
        return false;
    };
    // Through a symbolic link, the file it points at is the one replaced.
    const QFileInfo info(path);
    QString target = info.isSymLink() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (target.isEmpty()) target = info.symLinkTarget();  // a link to nothing yet
    const QByteArray targetName = QFile::encodeName(target);
    // Only a plain file is replaced: renaming over a device, a pipe or a folder (reached through a
    // link, say) would put our file in its place, for root even over /dev/null.
    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        if (error) *error = S_ISDIR(old.st_mode) ? QStringLiteral("it is a folder") : QStringLiteral("it is not a plain file");
        return false;
    }

    // A new file beside the target, so that the rename stays on one file system.
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        tempName = targetName + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return fail(errno);
    }
    if (fd < 0) return fail(EEXIST);
    auto drop = [&](int code) {
        if (fd >= 0) ::close(fd);
        ::unlink(tempName.constData());
        return fail(code);
    };
    // The replaced file keeps its permissions.
    if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) return drop(errno);

    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return drop(errno);
        if (n == 0) return drop(ENOSPC);
        at += n;
        left -= n;
    }
    // Only bytes that reached the disk may replace the old file.
    if (::fsync(fd) != 0) return drop(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return drop(errno);
    if (::rename(tempName.constData(), targetName.constData()) != 0) return drop(errno);

    // Make the rename itself durable; the new file is complete either way.
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

namespace {
constexpr int kSecondsPerDay = 24 * 60 * 60;

// The second of the day of the time in the last 8 characters; -1 when it is not a proper time.
int secondOfDay(QStringView entry)
{
    if (entry.size() < 8) return -1;
    const QStringView t = entry.right(8);
    if (!isValidTimeText(t)) return -1;
    auto two = [t](int i) { return (t[i].unicode() - u'0') * 10 + (t[i + 1].unicode() - u'0'); };
    return two(0) * 3600 + two(3) * 60 + two(6);
}
}  // namespace

LoadReport mergeDataFile(const QByteArray& content, const QString& fileName, const QString& now,
                         const CheckKit& kit, ListBox& lstData, ListBox& lstMessage)
{
    LoadReport report;

    // Accepted records carry proper times, so a mark per second of the day tells a time already
    // taken in constant time; an entry with any other ending can never equal one of them.
    std::vector<bool> alarmTaken(kSecondsPerDay), messageTaken(kSecondsPerDay);
    for (const QString& e : lstData.items())
        if (const int t = secondOfDay(e); t >= 0) alarmTaken[t] = true;
    for (const QString& e : lstMessage.items())
        if (const int t = secondOfDay(e); t >= 0) messageTaken[t] = true;

    // Each new alarm goes straight to its second of the day as it is read; one walk over the
    // seconds then merges them with the list, the same order inserting them one by one gives.
    std::vector<int> newAt(kSecondsPerDay, -1);  // index into added
    QStringList added;
    int firstNew = kSecondsPerDay, lastNew = -1;
    QStringList addedMessages;

    qint64 lineNumber = 1;
    QuotedFieldReader records(content, kDataFileFields);
    QString strDataLine;
    while (records.next(strDataLine)) {
        ++report.recordsRead;
        bool bLineOk = true;
        std::int16_t iCheck = 1;
        if (isMessageRecord(strDataLine)) {
            kit.CheckMessageLine(strDataLine, iCheck);
            if (iCheck == 0) bLineOk = false;
            const int t = bLineOk ? secondOfDay(strDataLine) : -1;
            if (t >= 0 && !timePassed(strDataLine, now) && !messageTaken[t]) {
                messageTaken[t] = true;
                addedMessages << strDataLine;
            }
        } else {
            kit.CheckAlarmLine(strDataLine, iCheck);
            if (iCheck == 0) bLineOk = false;
            // Accepted lines are exactly "word HH:MM:SS", the entry Sorting would build.
            const int t = bLineOk ? secondOfDay(strDataLine) : -1;
            if (t >= 0 && !timePassed(strDataLine, now) && !alarmTaken[t]) {
                alarmTaken[t] = true;
                newAt[t] = static_cast<int>(added.size());
                added << strDataLine;
                firstNew = std::min(firstNew, t);
                lastNew = std::max(lastNew, t);
                report.addedAlarmTimes << strDataLine.right(8);
            }
        }
        if (!bLineOk) {
            if (report.badRecords == 0) report.errorLines << fileName;
            report.errorLines << QStringLiteral("Invalid data in file, Data  ") + QString::number(lineNumber);
            ++report.badRecords;
        }
        ++lineNumber;
        if (report.badRecords == 8) {
            report.errorLines << fileName + QStringLiteral(" seems to be wrong format");
            break;
        }
    }

    // One notice to the views for each list, however many lines came in.
    lstMessage.AddItems(addedMessages);
    if (!added.isEmpty()) {
        const QStringList& old = lstData.items();
        QStringList merged;
        merged.reserve(old.size() + added.size());
        auto a = old.cbegin();
        for (int t = firstNew; t <= lastNew; ++t) {
            if (newAt[t] < 0) continue;
            const QString& entry = added.at(newAt[t]);
            const TimeKey key = timeKeyOf(entry);
            while (a != old.cend() && compareTimeKeys(timeKeyOf(*a), key) < 0) merged << *a++;
            merged << entry;
        }
        while (a != old.cend()) merged << *a++;
        lstData.setItems(std::move(merged));  // the selection stays on the entry it was on
    }
    return report;
}
