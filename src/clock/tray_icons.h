#pragma once
#include <QImage>

// The two tray pictures, drawn here rather than shipped: a white clock face with black hour
// marks and hands, and the same clock crossed out while alarms are disabled.
QImage drawClockIcon(int size = 32);
QImage drawDisabledClockIcon(int size = 32);
