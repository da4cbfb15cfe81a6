#pragma once
#include <QImage>
#include <QWidget>

class QLabel;
class QMenu;

// The way in where the desktop has no notification area: a small window titled "Voz" with the
// clock picture and the tray menu's commands, the very same actions (so the same handlers and
// the "Disabled" check). It cannot be closed, only minimised; "Remove" ends the program.
class NoTrayWindow : public QWidget {
    Q_OBJECT
public:
    NoTrayWindow(QMenu* menu, const QImage& picture);
    void setPicture(const QImage& picture);
    // Shows the window, and shows it again should the map request get lost.
    void comeForward();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_picture = nullptr;
};
