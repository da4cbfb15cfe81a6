#include "wallpaper/rodidad_client.h"

#include "app/program.h"
#include "clock/warning_window.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>
#include <QRegularExpression>

QString RodidadLibraryPath(const QString& programFolder)
{
    return programFolder + QStringLiteral("librodidad.so");
}

std::unique_ptr<Rodidad::_Class1> CreateClass1(const QString& programFolder, QString* reason)
{
    auto fail = [reason](const QString& why) -> std::unique_ptr<Rodidad::_Class1> {
        if (reason) *reason = why;
        return nullptr;
    };
    const QString path = RodidadLibraryPath(programFolder);
    // An absolute file that exists: the loader then takes exactly it and searches nowhere else.
    if (!QDir::isAbsolutePath(path)) return fail(path + QStringLiteral(": not an absolute path"));
    if (!QFileInfo(path).isFile()) return fail(path + QStringLiteral(": not found"));

    QPluginLoader loader(path);
    const QJsonObject meta = loader.metaData();
    if (meta.value(QStringLiteral("IID")).toString() != QLatin1String(RODIDAD_CLASS1_CLSID)) {
        const QString why = loader.errorString();
        return fail(path + QStringLiteral(": not the library of Class1") +
                    (why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')')));
    }
    const QJsonObject ids = meta.value(QStringLiteral("MetaData")).toObject();
    if (ids.value(QStringLiteral("TypeLibraryId")).toString() != QLatin1String(Rodidad::kTypeLibraryId) ||
        ids.value(QStringLiteral("InterfaceId")).toString() != QLatin1String(Rodidad::kClass1InterfaceId))
        return fail(path + QStringLiteral(": built against another type library"));

    QObject* root = loader.instance();
    if (!root) return fail(loader.errorString());
    auto* factory = qobject_cast<Rodidad::ClassFactory*>(root);
    if (!factory) return fail(path + QStringLiteral(": has no class object for Class1"));
    std::unique_ptr<Rodidad::_Class1> object = factory->CreateInstance();
    if (!object) return fail(path + QStringLiteral(": Class1 could not be created"));
    return object;
}

QString RodidadMissingText(const QString& reason)
{
    if (reason.isEmpty())
        return QStringLiteral("Wallpaper library librodidad.so is missing or failed: settings are not loaded or saved");
    // The warning names the library already; its folder would only crowd the reason out.
    static const QRegularExpression path(QStringLiteral("^\\S*librodidad\\.so: "));
    return QStringLiteral("Wallpaper library librodidad.so cannot be used (%1): settings are not loaded or saved")
        .arg(QString(reason).remove(path));
}

