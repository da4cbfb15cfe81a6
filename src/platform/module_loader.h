#pragma once
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QString>

#include <memory>

// Makes the one object a module of ours exports, loading the module by absolute path only: a
// library of that name found on the search path is not ours. An empty `path` means the module
// beside the program. Null, with `library` released and `reason` set, when it cannot.
template <class T>
T* createFromModule(std::unique_ptr<QLibrary>& library, const QString& path, const char* fileName,
                    const char* factory, QString& reason)
{
    const QString file =
        path.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(fileName)) : path;
    library = std::make_unique<QLibrary>(QDir::cleanPath(QDir(file).absolutePath()));
    const auto create = reinterpret_cast<T* (*)()>(library->resolve(factory));
    T* made = create ? create() : nullptr;
    if (!made) {
        reason = library->errorString();
        library.reset();
    }
    return made;
}
