#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

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
QString SettingsRecord::Label() const { return QString::fromUtf8(LabelBytes); }
QString SettingsRecord::Text() const { return QString::fromUtf8(TextBytes); }

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

bool storeSettingsRecord(const QString& appPath, int n, const SettingsRecord& rec)
{
    if (n < 1) return false;
    QDir dir(appPath);
    if (!dir.exists()) QDir().mkpath(appPath);
    QFile f(settingsPath(appPath));
    if (!f.open(QIODevice::ReadWrite)) return false;
    const qint64 offset = static_cast<qint64>(n - 1) * SettingsRecord::kSize;
    if (f.size() < offset) {
        // Records that were never written read as zero bytes.
        if (!f.seek(f.size())) return false;
        const QByteArray zeros(static_cast<qsizetype>(offset - f.size()), '\0');
        if (f.write(zeros) != zeros.size()) return false;
    }
    if (!f.seek(offset)) return false;
    const QByteArray bytes = rec.toBytes();
    return f.write(bytes) == bytes.size() && f.flush();
}

SettingsReader::SettingsReader(const QString& appPath)
{
    const QString path = settingsPath(appPath);
    QFileInfo info(path);
    m_exists = info.exists() && info.isFile();
    if (!m_exists) return;
    m_file = std::make_unique<QFile>(path);
    if (!m_file->open(QIODevice::ReadOnly)) m_file.reset();
}

SettingsReader::~SettingsReader() = default;

bool SettingsReader::read(int n, SettingsRecord& rec)
{
    // Errors are ignored step by step: a failed read leaves an all-zero record whose label matches nothing.
    QByteArray bytes;
    if (m_file && n >= 1 && m_file->seek(static_cast<qint64>(n - 1) * SettingsRecord::kSize))
        bytes = m_file->read(SettingsRecord::kSize);
    rec = SettingsRecord::fromBytes(bytes);
    return bytes.size() == SettingsRecord::kSize;
}
