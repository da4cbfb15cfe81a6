#include "rodidad/class1.h"

#include "core/files/settings_file.h"
#include "core/wallpaper/pictures_folder.h"
#include "core/wallpaper/wallpaper_list_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QMetaProperty>
#include <QVariant>

namespace Rodidad {
namespace {

// Late-bound access to a control by name. The first failure is kept as the call's error; the
// steps that ignore errors just go on.
class Automation {
public:
    bool get(QObject* o, const char* name, int& out)
    {
        const QMetaProperty prop = property(o, name);
        if (!prop.isValid()) return false;
        bool ok = false;
        const int v = prop.read(o).toInt(&ok);
        if (!ok) return fail(QStringLiteral("Type mismatch reading %1.%2").arg(nameOf(o), QLatin1String(name)));
        out = v;
        return true;
    }

    bool set(QObject* o, const char* name, const QVariant& value)
    {
        const QMetaProperty prop = property(o, name);
        if (!prop.isValid()) return false;
        if (!prop.isWritable() || !prop.write(o, value))
            return fail(QStringLiteral("Cannot set %1.%2").arg(nameOf(o), QLatin1String(name)));
        return true;
    }

    bool addItem(QObject* o, const QString& item)
    {
        if (!o) return fail(QStringLiteral("Object variable not set (AddItem)"));
        if (!QMetaObject::invokeMethod(o, "AddItem", Qt::DirectConnection, Q_ARG(QString, item)))
            return fail(QStringLiteral("%1 does not support AddItem").arg(nameOf(o)));
        return true;
    }

    Status status() const { return m_error.isEmpty() ? Status{} : Status{false, m_error}; }

private:
    static QString nameOf(QObject* o) { return o->objectName().isEmpty() ? QStringLiteral("control") : o->objectName(); }

    QMetaProperty property(QObject* o, const char* name)
    {
        if (!o) {
            fail(QStringLiteral("Object variable not set (%1)").arg(QLatin1String(name)));
            return {};
        }
        const int i = o->metaObject()->indexOfProperty(name);
        if (i < 0) {
            fail(QStringLiteral("%1 does not support property %2").arg(nameOf(o), QLatin1String(name)));
            return {};
        }
        return o->metaObject()->property(i);
    }

    bool fail(const QString& what)
    {
        if (m_error.isEmpty()) m_error = what;
        return false;
    }

    QString m_error;
};

// The picture files of a folder with one extension, any case (a name from a camera may well be
// upper case), sorted by name.
QStringList PictureNames(const QFileInfoList& files, QLatin1String extension)
{
    QStringList names;
    for (const QFileInfo& f : files)
        if (f.fileName().endsWith(extension, Qt::CaseInsensitive)) names << f.fileName();
    return names;
}

} // namespace

Status Class1::LoadWallpaperList(QObject*& lstShow, QString aApplicationPath)
{
    const QString path = WallpaperListPath(aApplicationPath);
    if (!QFileInfo(path).isFile()) return {};
    // From here on a failing step is skipped: whatever was read before it stays in the list.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    Automation a;
    for (const QString& entry : ReadWallpaperList(file.readAll())) a.addItem(lstShow, entry);
    return {};
}

Status Class1::F12Load(std::int16_t iMe, std::int16_t iA, QObject*& chkChange, QObject*& cbChange,
                       bool& FromLibOption1, QObject*& cbPaper, std::int16_t& MeTop,
                       std::int16_t& MeLeft, QObject*& chkKeepSet, QObject*& lstShow,
                       bool& FromLibOption2, QString& MyPath, QString aApplicationPath)
{
    Q_UNUSED(iMe);
    Q_UNUSED(iA);
    Automation a;
    if (!a.set(chkChange, "Enabled", false) || !a.set(cbChange, "Enabled", false)) return a.status();
    FromLibOption1 = true;

    // The whole path, however long.
    MyPath = PicturesFolder();
    const QFileInfoList files = QDir(MyPath).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (QLatin1String ext : {QLatin1String(".bmp"), QLatin1String(".gif"), QLatin1String(".jpg")})
        for (const QString& name : PictureNames(files, ext))
            if (!a.addItem(cbPaper, name)) return a.status();

    if (!QFileInfo(settingsPath(aApplicationPath)).isFile()) return {};

    // From here on a failing step is skipped.
    SettingsRecord rec;
    {
        SettingsReader reader(aApplicationPath);
        reader.read(kWallpaperRecord, rec);
    }
    if (trimBlanks(rec.Label()) != kWallpaperLabel) {
        MeTop = 0;
        MeLeft = 0;
        return {};
    }
    MeTop = rec.Value1;
    MeLeft = rec.Value2;

    const std::optional<WallpaperChoices> c = ParseWallpaperChoices(rec.Text());
    if (!c) return {};
    auto listCount = [&a](QObject* list) {
        int n = 0;
        return a.get(list, "ListCount", n) ? n : 0;
    };
    if (c->keep) {
        a.set(chkKeepSet, "Value", 1);
        LoadWallpaperList(lstShow, aApplicationPath);
        // An entry the interval list does not hold is not taken; it keeps its selection.
        int entries = 0;
        if (a.get(cbChange, "ListCount", entries) && c->interval >= -1 && c->interval < entries)
            a.set(cbChange, "ListIndex", c->interval);
        if (listCount(lstShow) >= 2) a.set(cbChange, "Enabled", true);
        if (c->change && listCount(lstShow) >= 2) {
            a.set(chkChange, "Enabled", true);
            a.set(chkChange, "Value", 1);
        }
        if (c->random) FromLibOption2 = true;
        else FromLibOption1 = true;
    } else {
        a.set(chkKeepSet, "Value", 0);
        LoadWallpaperList(lstShow, aApplicationPath);
        if (listCount(lstShow) >= 2) a.set(cbChange, "Enabled", true);
    }
    return {};
}

Status Class1::cmdCloseRet(QObject* chkKeepSet, std::int16_t MeTop, std::int16_t MeLeft,
                           QObject* chkChange, bool optOption, QObject* cbChange,
                           QString aApplicationPath)
{
    Automation a;
    int keep = 0;
    if (!a.get(chkKeepSet, "Value", keep)) return a.status();
    QString text;
    if (keep == 1) {
        int change = 0;
        int interval = -1;
        if (!a.get(chkChange, "Value", change) || !a.get(cbChange, "ListIndex", interval)) return a.status();
        text = ComposeWallpaperChoices({true, change == 1, optOption, interval});
    } else if (keep == 0) {
        text = QStringLiteral("Empty");
    } else {
        return {};
    }
    // storeSettingsRecord creates a missing program folder and zero-fills records before 5.
    QString reason;
    if (!storeSettingsRecord(aApplicationPath, kWallpaperRecord, WallpaperRecord(MeTop, MeLeft, text), &reason))
        return {false, QStringLiteral("%1 cannot be written: %2").arg(settingsPath(aApplicationPath), reason)};
    return {};
}

std::unique_ptr<_Class1> Class1Factory::CreateInstance() { return std::make_unique<Class1>(); }

} // namespace Rodidad
