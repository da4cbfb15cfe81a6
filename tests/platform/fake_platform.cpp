#include "platform/fake_platform.h"

#include <QWidget>

QString FakePlatform::objectName(QWidget* w) { return w ? w->windowTitle() : QStringLiteral("main"); }
