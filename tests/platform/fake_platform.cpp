#include "platform/fake_platform.h"

#include <QWidget>

QString FakePlatform::objectName(QWidget* w)
{
    if (!w) return QStringLiteral("main");
    return w->windowTitle();
}
