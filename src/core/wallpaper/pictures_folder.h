#pragma once
#include <QString>

// The folder the wallpaper pictures are searched in and looked up from: the user's XDG Pictures
// folder, created when missing, without a trailing "/". Qt Core only, so that the Rodidad
// library and the program find the same folder.
QString PicturesFolder();
