#pragma once
#include "core/alarms/alarm_engine.h"
#include "core/alarms/alarm_host.h"
#include "core/alarms/alarm_set_controls.h"
#include "core/model/program_state.h"
#include "support/files.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The engine's host for unit tests: the Alarm Set window's controls of its own (their lists are
// the alarm list), a clock the test sets, and a record of what the engine asked of the windows.
// An overwrite question waits in `pendingWrite` for the test to answer.
struct RecordingHost : AlarmHost {
    QDateTime clock{QDate(2026, 12, 7), QTime(10, 0), QTimeZone::utc()};
    Form4Controls c;
    bool loaded = true;
    TwipsPlace place;
    QStringList told, tried;
    QList<QStringList> loadErrors;  // the lines of each show
    std::function<void()> pendingWrite;
    std::vector<std::pair<int, int>> soundSettings;

    QDateTime now() override { return clock; }
    ListBox& lstData() override { return c.lstData; }
    ListBox& lstMessage() override { return c.lstMessage; }
    bool listsLoaded() override { return loaded; }
    TwipsPlace listWindowPlace() override { return place; }
    void moveListWindow(TwipsPlace at) override { place = at; }
    void ring(const QString&, const QString&) override {}
    void announceMissed(const QString&) override {}
    void showMessage(const QString&) override {}
    void tell(const QString& text) override { told << text; }
    void askOverwrite(std::function<void()> write) override { pendingWrite = std::move(write); }
    void showLoadErrors(const QStringList& lines) override { loadErrors << lines; }
    void setSoundSettings(std::int16_t soundOn, std::int16_t errMsgPop) override
    {
        soundSettings.emplace_back(soundOn, errMsgPop);
    }
    void loadWallpaperWindowHidden() override {}
    bool openTextEditor(const QString&) override { return true; }
    void trySong(const QString& path) override { tried << path; }
};

// The engine on a recording host in a program folder of its own, started as the program starts.
struct EngineTest : ::testing::Test {
    QTemporaryDir dir;
    ProgramState p;
    RecordingHost host;
    Form4Controls& c = host.c;
    Form8 e{p, host};
    EngineTest()
    {
        p.gAppPath = dir.path() + QLatin1Char('/');
        e.fForm1Load();
        e.Unload();
    }
    QString path(const QString& file) const { return p.gAppPath + file; }
    void writeFile(const QString& file, const QByteArray& bytes) const { ASSERT_TRUE(::writeFile(path(file), bytes)); }
    QByteArray readFile(const QString& file) const { return ::readFile(path(file)); }
};
