#pragma once
#include "app/program.h"
#include "platform/fake_platform.h"

#include <QTemporaryDir>
#include <memory>

// A program on the recording platform with its own empty program folder.
struct TestProgram {
    TestProgram();
    ~TestProgram();
    // Starts the program as Form1's load does.
    void start();
    QString path(const QString& file) const { return program.gAppPath + file; }
    void writeFile(const QString& file, const QByteArray& bytes) const;
    QByteArray readFile(const QString& file) const;

    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};
};

// Writes a file into a temporary folder and returns its path.
QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);

// Makes sure a QApplication exists (offscreen) for tests that load windows.
void ensureApplication();
