#include "clock/no_tray_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

NoTrayWindow::NoTrayWindow(QMenu* menu, const QImage& picture)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint)
{
    setObjectName(QStringLiteral("NoTrayWindow"));
    setWindowTitle(QStringLiteral("Voz"));
    setWindowIcon(QIcon(QPixmap::fromImage(picture)));

    auto* top = new QHBoxLayout;
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("imgClock"));
    m_picture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setPicture(picture);
    top->addWidget(m_picture);

    // The menu's groups, top to bottom, with a gap where the menu has a separator.
    auto* commands = new QVBoxLayout;
    commands->setSpacing(2);
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            commands->addSpacing(8);
            continue;
        }
        if (action->isCheckable()) {
            // A check box shows the check plainly; it runs the action as the menu item does.
            auto* box = new QCheckBox(action->text());
            box->setObjectName(QStringLiteral("chk") + action->text().remove(QLatin1Char(' ')));
            box->setChecked(action->isChecked());
            connect(box, &QCheckBox::clicked, action, &QAction::trigger);
            connect(action, &QAction::changed, box, [box, action] {
                const QSignalBlocker quiet(box);
                box->setChecked(action->isChecked());
            });
            commands->addWidget(box, 0, Qt::AlignHCenter);
            continue;
        }
        auto* button = new QToolButton;
        button->setDefaultAction(action);
        button->setObjectName(QStringLiteral("cmd") + action->text().remove(QLatin1Char(' ')));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        commands->addWidget(button);
    }
    top->addLayout(commands, 1);

    auto* why = new QLabel(QStringLiteral("No notification area was found, so Voz shows this window. "
                                          "On GNOME Shell the AppIndicator extension adds one."));
    why->setObjectName(QStringLiteral("lblWhy"));
    why->setWordWrap(true);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(why);
    setFixedWidth(300);
}

void NoTrayWindow::setPicture(const QImage& picture)
{
    m_picture->setPixmap(QPixmap::fromImage(picture.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void NoTrayWindow::comeForward()
{
    showNormal();
    raise();
    // A tray often leaves with its window manager, which still takes map requests while it tears
    // its tray down and then drops them: a window shown then stays unmapped. Look again and map it
    // once more, now with nobody in between.
    for (const int ms : {1000, 3000}) {
        QTimer::singleShot(ms, this, [this] {
            if (!isVisible() || isMinimized() || !windowHandle() || windowHandle()->isExposed()) return;
            hide();
            showNormal();
            raise();
        });
    }
}

void NoTrayWindow::closeEvent(QCloseEvent* event)
{
    // Closing would leave no way in at all.
    event->ignore();
    showMinimized();
}
