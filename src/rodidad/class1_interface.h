#pragma once
// The Rodidad type library: the one interface voz and the Rodidad library are both built
// against. The ids are fixed once; a library built against other ids is not loaded.
#include <QObject>
#include <QString>
#include <QtPlugin>
#include <cstdint>
#include <memory>

namespace Rodidad {

// Class1's class id: the plugin's interface id, so QPluginLoader finds Class1 by it.
#define RODIDAD_CLASS1_CLSID "{6B1D2E90-3C47-4F0A-9E55-0D7A2C41B8F3}"
inline constexpr char kTypeLibraryId[] = "{A3F05C12-8E6B-4D19-B2C7-5E90F1D24A66}";
inline constexpr char kClass1InterfaceId[] = "{D07E4B3A-1F28-4C65-A9B0-73C6E2F58D14}";

// What a call returns: success, or the error a failing step raised.
struct Status {
    bool ok = true;
    QString error;
};

// _Class1, the default interface of Class1, in slot order. Controls are automation objects:
// QObjects whose properties (Value, Enabled, ListIndex, ListCount) and invokable AddItem are
// reached by name, so a change runs the window's own handlers as a user's change does.
class _Class1 {
public:
    virtual ~_Class1() = default;

    virtual Status cmdCloseRet(QObject* chkKeepSet, std::int16_t MeTop, std::int16_t MeLeft,
                               QObject* chkChange, bool optOption, QObject* cbChange,
                               QString aApplicationPath) = 0;

    virtual Status F12Load(std::int16_t iMe, std::int16_t iA, QObject*& chkChange,
                           QObject*& cbChange, bool& FromLibOption1, QObject*& cbPaper,
                           std::int16_t& MeTop, std::int16_t& MeLeft, QObject*& chkKeepSet,
                           QObject*& lstShow, bool& FromLibOption2, QString& MyPath,
                           QString aApplicationPath) = 0;

    virtual Status LoadWallpaperList(QObject*& lstShow, QString aApplicationPath) = 0;
};

// The class object: makes a fresh Class1 for each call; the caller releases it after the call.
class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    virtual std::unique_ptr<_Class1> CreateInstance() = 0;
};

} // namespace Rodidad

Q_DECLARE_INTERFACE(Rodidad::ClassFactory, RODIDAD_CLASS1_CLSID)
