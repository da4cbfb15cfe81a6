#include "core/files/settings_file.h"

#include "core/files/readable_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QByteArray fitField(const QString& s, int width)
{
    QByteArray out = s.toUtf8();
    if (out.size() > width) {
        int cut = width;
        // Step back over continuation bytes so the field never ends inside a character.
        while (cut > 0 && (static_cast<unsigned char>(out.at(cut)) & 0xC0) == 0x80) --cut;
        out.truncate(cut);
    }
    if (out.size() < width) out.append(QByteArray(width - out.size(), ' '));
    return out;
}

QString trimBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == u' ') ++b;
    while (e > b && s.at(e - 1) == u' ') --e;
    return s.mid(b, e - b);
}

void SettingsRecord::setLabel(const QString& s) { LabelBytes = fitField(s, kLabelWidth); }
void SettingsRecord::setText(const QString& s) { TextBytes = fitField(s, kTextWidth); }
// A field is text, not a file: a leading U+FEFF is one of its characters, not a byte order mark
// to drop, so that a field written back reads the same.
static QString fieldText(const QByteArray& bytes)
{
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decode(bytes);
}

QString SettingsRecord::Label() const { return fieldText(LabelBytes); }
QString SettingsRecord::Text() const { return fieldText(TextBytes); }

QByteArray SettingsRecord::toBytes() const
{
    QByteArray out;
    out.reserve(kSize);
    out.append(LabelBytes.left(kLabelWidth).leftJustified(kLabelWidth, ' '));
    char v[4];
    qToLittleEndian<std::int16_t>(Value1, v);
    qToLittleEndian<std::int16_t>(Value2, v + 2);
    out.append(v, 4);
    out.append(TextBytes.left(kTextWidth).leftJustified(kTextWidth, ' '));
    return out;
}

SettingsRecord SettingsRecord::fromBytes(const QByteArray& bytes)
{
    QByteArray b = bytes.left(kSize);
    if (b.size() < kSize) b.append(QByteArray(kSize - b.size(), '\0'));
    SettingsRecord r;
    r.LabelBytes = b.mid(0, kLabelWidth);
    r.Value1 = qFromLittleEndian<std::int16_t>(b.constData() + kLabelWidth);
    r.Value2 = qFromLittleEndian<std::int16_t>(b.constData() + kLabelWidth + 2);
    r.TextBytes = b.mid(kLabelWidth + 4, kTextWidth);
    return r;
}

QString settingsPath(const QString& appPath) { return appPath + QStringLiteral("voz.ini"); }

bool storeSettingsRecord(const QString& appPath, int n, const SettingsRecord& rec, QString* error)
{
    auto fail = [error](int code) {
        if (error) *error = qt_error_string(code);
        return false;
    };
    if (n < 1) return fail(EINVAL);
    QDir dir(appPath);
    if (!dir.exists()) QDir().mkpath(appPath);
    const QString path = settingsPath(appPath);
    const QString kind = notPlainFileReason(QFileInfo(path));
    if (!kind.isEmpty()) {
        if (error) *error = kind;
        return false;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return fail(errno);
    auto done = [fd](bool ok) {
        ::close(fd);
        return ok;
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return done(fail(errno));
    const off_t oldSize = st.st_size;
    const off_t offset = static_cast<off_t>(n - 1) * SettingsRecord::kSize;
    const QByteArray bytes = rec.toBytes();

    // What the record's place holds now, to put back should the write stop half-way.
    QByteArray old(SettingsRecord::kSize, '\0');
    ssize_t oldLength = 0;
    if (offset < oldSize) {
        oldLength = ::pread(fd, old.data(), old.size(), offset);
        if (oldLength < 0) return done(fail(errno));
    }
    auto undo = [&](int code) {
        if (oldLength > 0) (void)!::pwrite(fd, old.constData(), static_cast<size_t>(oldLength), offset);
        (void)!::ftruncate(fd, oldSize);
        return done(fail(code));
    };
    // Room first: past a file size limit or on a full disk this fails before any byte changes.
    // A file system that cannot reserve room is written to all the same.
    const int reserved = ::posix_fallocate(fd, offset, SettingsRecord::kSize);
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) return undo(reserved);

    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t w = ::pwrite(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written),
                                   offset + written);
        if (w < 0 && errno == EINTR) continue;
        if (w < 0) return undo(errno);
        if (w == 0) return undo(ENOSPC);
        written += w;
    }
    return done(true);
}

SettingsReader::SettingsReader(const QString& appPath)
{
    const QString path = settingsPath(appPath);
    const QFileInfo info(path);
    m_problem = notPlainFileReason(info);
    m_exists = info.exists() && info.isFile();
    if (!m_exists) return;
    // Non-blocking, in case a pipe took the file's place after the look above.
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0) m_problem = qt_error_string(errno);
}

SettingsReader::~SettingsReader()
{
    if (m_fd >= 0) ::close(m_fd);
}

bool SettingsReader::read(int n, SettingsRecord& rec)
{
    // Errors are ignored step by step: a failed read leaves an all-zero record whose label matches nothing.
    QByteArray bytes;
    if (m_fd >= 0 && n >= 1) {
        bytes.resize(SettingsRecord::kSize);
        const ssize_t got = ::pread(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(n - 1) * SettingsRecord::kSize);
        if (got < 0 && m_problem.isEmpty()) m_problem = qt_error_string(errno);
        bytes.resize(got < 0 ? 0 : got);
    }
    rec = SettingsRecord::fromBytes(bytes);
    return bytes.size() == SettingsRecord::kSize;
}
