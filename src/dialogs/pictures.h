#pragma once
#include <QPixmap>
#include <QSize>

// Pictures of the alarm windows, drawn in code at the size they are shown.
QPixmap flatBarPicture(QSize size);       // a flat black bar (minimise button)
QPixmap scrollQuillPicture(QSize size);   // a paper scroll with a quill (editor button, chooser's edit mode)
QPixmap openFolderPicture(QSize size);    // an open folder with a curved arrow (load)
QPixmap floppyPicture(QSize size);        // a floppy disk (save)
QPixmap playTrianglePicture(QSize size);  // a small play triangle (try the song)
QPixmap upTrianglePicture(QSize size);    // small upward triangle
QPixmap downTrianglePicture(QSize size);  // small downward triangle
QPixmap hourglassPicture(QSize size);     // an hourglass (placeholder while a message is typed)
QPixmap aboutHeadingPicture(QSize size);  // About window heading: the product name "Voz" drawn as a picture
QPixmap cloudsPicture(QSize size);        // About background: sky with soft clouds
