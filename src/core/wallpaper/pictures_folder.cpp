#include "core/wallpaper/pictures_folder.h"

#include <QDir>
#include <QStandardPaths>

QString PicturesFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    // Without a home the location is empty; the home-relative default still names a folder.
    if (folder.isEmpty()) folder = QDir::homePath() + QStringLiteral("/Pictures");
    folder = QDir::cleanPath(folder);
    while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
    QDir().mkpath(folder);
    return folder;
}
