#pragma once
#include <QPixmap>
#include <QSize>

// Pictures of the wallpaper window's list buttons, drawn in code at the size they are shown.
QPixmap removeEntryPicture(QSize size);  // one list line struck through by a red cross (delete selected)
QPixmap clearListPicture(QSize size);    // several list lines struck through by a red cross (delete all)
