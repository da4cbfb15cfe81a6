#pragma once
#include "app/program.h"
#include "core/files/settings_file.h"
#include "platform/fake_platform.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

class QWidget;

// A program on the recording platform with its own empty program folder.
struct TestProgram {
    TestProgram();
    // Starts the program as Form1's load does.
    void start();
    QString path(const QString& file) const { return program.gAppPath + file; }
    void writeFile(const QString& file, const QByteArray& bytes) const { writeFileIn(dir, file, bytes); }
    QByteArray readFile(const QString& file) const { return ::readFile(dir.filePath(file)); }
    // Stores record n of voz.ini in the program folder.
    void storeRecord(int n, const QString& label, std::int16_t v1, std::int16_t v2, const QString& text) const
    {
        storeRecordIn(program.gAppPath, n, label, v1, v2, text);
    }
    // Record n of voz.ini in the program folder; blank when it cannot be read.
    SettingsRecord record(int n) const;

    // The texts of the warnings on the screen, the first one's before its copies'.
    QStringList warnings();
    // The same, answering each with OK, as a user who reads them does.
    QStringList answerWarnings();

    QTemporaryDir dir;
    FakePlatform platform;
    Program program{platform};
};

// The widget tests' base: a started program, the time set before it starts in the constructor
// of the test's own fixture.
struct ProgramTest : ::testing::Test {
    TestProgram t;
    Program& p = t.program;
    void SetUp() override { t.start(); }
    QStringList warnings() { return t.warnings(); }
};

// A picture of the window for the user guide, when VOZ_SCREENSHOT_DIR names a folder.
void screenshot(QWidget* window, const QString& file);

// Makes sure a QApplication exists (offscreen) for tests that load windows.
void ensureApplication();
