#include "alarms/alarm_file.h"

#include "alarms/alarm_list.h"
#include "alarms/time_text.h"
#include "outside/check_kit.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
// The delimiters are ASCII, which never occurs inside a UTF-8 sequence: looking at bytes finds
// the same fields as looking at characters.
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// After a field: skip to the comma or line end that closes it and step over it.
qsizetype skipDelimiter(QByteArrayView s, qsizetype pos)
{
    const qsizetype n = s.size();
    while (pos < n && s.at(pos) != ',' && !isLineEnd(s.at(pos))) ++pos;
    if (pos < n) {
        if (s.at(pos) == '\r' && pos + 1 < n && s.at(pos + 1) == '\n') return pos + 2;
        return pos + 1;
    }
    return pos;
}
}  // namespace

DataFieldReader::DataFieldReader(QByteArrayView content) : m_s(content)
{
    if (m_s.startsWith("\xEF\xBB\xBF")) m_pos = 3;
}

bool DataFieldReader::next(QString& field)
{
    const QByteArrayView s = m_s;
    const qsizetype n = s.size();
    qsizetype pos = m_pos;
    while (pos < n && (s.at(pos) == ' ' || s.at(pos) == '\t')) ++pos;
    if (pos >= n) {
        m_pos = n;
        return false;
    }
    if (s.at(pos) == '"') {
        const qsizetype close = s.indexOf('"', pos + 1);
        if (close < 0) {
            field = m_utf8(s.sliced(pos + 1));
            m_pos = n;
        } else {
            field = m_utf8(s.sliced(pos + 1, close - pos - 1));
            m_pos = skipDelimiter(s, close + 1);
        }
    } else {
        qsizetype end = pos;
        while (end < n && s.at(end) != ',' && !isLineEnd(s.at(end))) ++end;
        field = m_utf8(s.sliced(pos, end - pos));
        m_pos = skipDelimiter(s, end);
    }
    return true;
}

QStringList readDataFields(const QByteArray& content)
{
    QStringList fields;
    DataFieldReader reader(content);
    QString field;
    while (reader.next(field)) fields << field;
    return fields;
}

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

LoadReport mergeDataFile(const QByteArray& content, const QString& fileName, const QString& now,
                         const CheckKit& kit, ListBox& lstData, ListBox& lstMessage)
{
    LoadReport report;

    // Times already taken, so that each record is checked in constant time.
    QSet<QString> alarmTimes;
    for (const QString& e : lstData.items()) alarmTimes.insert(e.right(8));
    QSet<QString> messageTimes;
    for (const QString& e : lstMessage.items()) messageTimes.insert(e.right(8));

    // New alarms are gathered and merged once at the end; the result is the same as inserting
    // them one by one, without the quadratic cost on big files.
    struct Added {
        int seconds;
        QString entry;
    };
    std::vector<Added> added;
    QStringList addedMessages;

    qint64 lineNumber = 1;
    DataFieldReader records(content);
    QString strDataLine;
    while (records.next(strDataLine)) {
        ++report.recordsRead;
        bool bLineOk = true;
        std::int16_t iCheck = 1;
        if (isMessageRecord(strDataLine)) {
            kit.CheckMessageLine(strDataLine, iCheck);
            if (iCheck == 0) bLineOk = false;
            if (bLineOk && !timePassed(strDataLine, now)) {
                const QString t = strDataLine.right(8);
                if (!messageTimes.contains(t)) {
                    messageTimes.insert(t);
                    addedMessages << strDataLine;
                }
            }
        } else {
            kit.CheckAlarmLine(strDataLine, iCheck);
            if (iCheck == 0) bLineOk = false;
            if (bLineOk && !timePassed(strDataLine, now)) {
                const QString t = strDataLine.right(8);
                if (!alarmTimes.contains(t)) {
                    alarmTimes.insert(t);
                    // Accepted lines are exactly "word HH:MM:SS", the entry Sorting would build.
                    const QStringView v(t);
                    const int secs = v.mid(0, 2).toInt() * 3600 + v.mid(3, 2).toInt() * 60 + v.mid(6, 2).toInt();
                    added.push_back({secs, strDataLine});
                    report.addedAlarmTimes << t;
                }
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
    if (!added.empty()) {
        std::sort(added.begin(), added.end(), [](const Added& a, const Added& b) { return a.seconds < b.seconds; });
        const QStringList& old = lstData.items();
        QStringList merged;
        merged.reserve(old.size() + static_cast<qsizetype>(added.size()));
        auto a = old.cbegin();
        auto b = added.cbegin();
        while (a != old.cend() || b != added.cend()) {
            if (b == added.cend() || (a != old.cend() && compareTimeKeys(timeKeyOf(*a), timeKeyOf(b->entry)) < 0))
                merged << *a++;
            else
                merged << (b++)->entry;
        }
        lstData.setItems(std::move(merged));  // the selection stays on the entry it was on
    }
    return report;
}
