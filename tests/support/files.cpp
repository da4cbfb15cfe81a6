#include "support/files.h"

#include "core/files/settings_file.h"

#include <QFile>
#include <QTemporaryDir>

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    writeFile(path, bytes);
    return path;
}

SettingsRecord makeRecord(const QString& label, std::int16_t v1, std::int16_t v2, const QString& text)
{
    SettingsRecord r;
    r.setLabel(label);
    r.Value1 = v1;
    r.Value2 = v2;
    r.setText(text);
    return r;
}

void storeRecordIn(const QString& folder, int n, const QString& label, std::int16_t v1, std::int16_t v2,
                   const QString& text)
{
    storeSettingsRecord(folder, n, makeRecord(label, v1, v2, text));
}
