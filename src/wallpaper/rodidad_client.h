#pragma once
#include "rodidad/class1_interface.h"

#include <QString>
#include <memory>

class Program;

// The Rodidad library's file in the program folder (which ends in "/").
QString RodidadLibraryPath(const QString& programFolder);

// A fresh Class1, made by its class id from the library in the program folder only: never from
// the current folder or a library search path. Null when the library is missing, is not Class1's
// (another class or type library id) or cannot be loaded; `reason` then says why.
std::unique_ptr<Rodidad::_Class1> CreateClass1(const QString& programFolder, QString* reason = nullptr);

// What the user is told when the library cannot be used, with the loader's reason if any.
QString RodidadMissingText(const QString& reason = {});
