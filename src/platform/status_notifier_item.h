#pragma once
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QDBusServiceWatcher;
class QMenu;

// D-Bus shapes of the StatusNotifierItem and dbusmenu interfaces.
struct SniPixmap {  // (iiay): width, height, ARGB32 in network byte order
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using SniPixmapList = QList<SniPixmap>;
struct SniToolTip {  // (sa(iiay)ss)
    QString iconName;
    SniPixmapList pixmaps;
    QString title;
    QString text;
};
struct DBusMenuItem {  // (ia{sv})
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemList = QList<DBusMenuItem>;
struct DBusMenuItemKeys {  // (ias)
    int id = 0;
    QStringList names;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;
struct DBusMenuLayout {  // (ia{sv}av), children as variants of the same
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayout> children;
};
struct DBusMenuEvent {  // (isvu)
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)
Q_DECLARE_METATYPE(DBusMenuItem)
Q_DECLARE_METATYPE(DBusMenuItemKeys)
Q_DECLARE_METATYPE(DBusMenuLayout)
Q_DECLARE_METATYPE(DBusMenuEvent)

// A QMenu exported as com.canonical.dbusmenu: ids are 1 + the action's place in the menu
// (separators included), 0 the menu itself. Changes of the actions (a check) reach the host.
class DBusMenuExporter : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    explicit DBusMenuExporter(QObject* parent = nullptr);
    void setMenu(QMenu* menu);

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public slots:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                DBusMenuLayout& layout);
    Q_SCRIPTABLE DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const DBusMenuEventList& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

signals:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const DBusMenuItemList& updatedProps,
                                             const DBusMenuItemKeysList& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

private:
    QAction* actionOf(int id) const;
    QVariantMap propertiesOf(int id, const QStringList& names) const;
    void actionChanged(QAction* action);
    void sendChanges();

    QPointer<QMenu> m_menu;
    QList<int> m_changed;
    uint m_revision = 1;
};

// The StatusNotifierItem side of the icon: exported on the session bus and registered with the
// StatusNotifierWatcher whenever one appears (a panel that starts after us gets the icon too).
class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ emptyText)
    Q_PROPERTY(SniPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyText)
    Q_PROPERTY(SniPixmapList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyText)
    Q_PROPERTY(SniPixmapList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyText)
    Q_PROPERTY(SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)
    Q_PROPERTY(QString IconThemePath READ emptyText)
public:
    explicit StatusNotifierItem(QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // A watcher is on the bus: the item is (or is being) registered with it.
    bool hostPresent() const { return m_watcherPresent; }
    void setMenu(QMenu* menu);
    void setIcon(const QImage& image);
    void setToolTip(const QString& text);
    // Shown: exported and registered with every watcher that comes; hidden: off the bus.
    void setShown(bool shown);

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("voz"); }
    QString title() const { return QStringLiteral("Voz"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyText() const { return {}; }
    SniPixmapList iconPixmap() const { return m_pixmaps; }
    SniPixmapList noPixmaps() const { return {}; }
    SniToolTip toolTip() const;
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menuPath() const;

public slots:
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString& orientation);

signals:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewAttentionIcon();
    Q_SCRIPTABLE void NewOverlayIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString& status);

    // Not on the bus: what the host asked for.
    void activated();
    void contextMenuRequested(QPoint at);
    void hostChanged(bool present);

private:
    void watcherAppeared();
    void watcherGone();
    void registerWithWatcher();

    QDBusConnection m_bus;
    QDBusServiceWatcher* m_watch = nullptr;
    DBusMenuExporter* m_menu = nullptr;
    QString m_service;
    SniPixmapList m_pixmaps;
    QString m_toolTip;
    bool m_shown = false;
    bool m_exported = false;
    bool m_watcherPresent = false;
};
