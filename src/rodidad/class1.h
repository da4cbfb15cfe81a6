#pragma once
// Rodidad's Class1: fills the wallpaper window from voz.ini and Wpaper.dat and stores its
// choices. The window's controls are reached only by name; each call runs on a fresh object.
#include "rodidad/class1_interface.h"

#include <QObject>

namespace Rodidad {

class Class1 final : public _Class1 {
public:
    Status cmdCloseRet(QObject* chkKeepSet, std::int16_t MeTop, std::int16_t MeLeft,
                       QObject* chkChange, bool optOption, QObject* cbChange,
                       QString aApplicationPath) override;

    Status F12Load(std::int16_t iMe, std::int16_t iA, QObject*& chkChange, QObject*& cbChange,
                   bool& FromLibOption1, QObject*& cbPaper, std::int16_t& MeTop,
                   std::int16_t& MeLeft, QObject*& chkKeepSet, QObject*& lstShow,
                   bool& FromLibOption2, QString& MyPath, QString aApplicationPath) override;

    Status LoadWallpaperList(QObject*& lstShow, QString aApplicationPath) override;
};

// The class object the plugin loader hands out.
class Class1Factory : public QObject, public ClassFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID RODIDAD_CLASS1_CLSID FILE "rodidad.json")
    Q_INTERFACES(Rodidad::ClassFactory)
public:
    std::unique_ptr<_Class1> CreateInstance() override;
};

} // namespace Rodidad
