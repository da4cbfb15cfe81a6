#include "platform/status_notifier_item.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QMenu>
#include <QTimer>

namespace {
const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
}  // namespace

// ---- marshalling -----------------------------------------------------------------------------

QDBusArgument& operator<<(QDBusArgument& a, const SniPixmap& p)
{
    a.beginStructure();
    a << p.width << p.height << p.bytes;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, SniPixmap& p)
{
    a.beginStructure();
    a >> p.width >> p.height >> p.bytes;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const SniToolTip& t)
{
    a.beginStructure();
    a << t.iconName << t.pixmaps << t.title << t.text;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, SniToolTip& t)
{
    a.beginStructure();
    a >> t.iconName >> t.pixmaps >> t.title >> t.text;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusMenuItem& i)
{
    a.beginStructure();
    a << i.id << i.properties;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusMenuItem& i)
{
    a.beginStructure();
    a >> i.id >> i.properties;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusMenuItemKeys& k)
{
    a.beginStructure();
    a << k.id << k.names;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusMenuItemKeys& k)
{
    a.beginStructure();
    a >> k.id >> k.names;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusMenuLayout& l)
{
    a.beginStructure();
    a << l.id << l.properties;
    a.beginArray(qMetaTypeId<QDBusVariant>());
    for (const DBusMenuLayout& child : l.children) a << QDBusVariant(QVariant::fromValue(child));
    a.endArray();
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusMenuLayout& l)
{
    a.beginStructure();
    a >> l.id >> l.properties;
    a.beginArray();
    l.children.clear();
    while (!a.atEnd()) {
        QDBusVariant v;
        a >> v;
        l.children << qdbus_cast<DBusMenuLayout>(v.variant());
    }
    a.endArray();
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusMenuEvent& e)
{
    a.beginStructure();
    a << e.id << e.eventId << e.data << e.timestamp;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusMenuEvent& e)
{
    a.beginStructure();
    a >> e.id >> e.eventId >> e.data >> e.timestamp;
    a.endStructure();
    return a;
}

static void registerDBusTypes()
{
    static const bool done = [] {
        qDBusRegisterMetaType<SniPixmap>();
        qDBusRegisterMetaType<SniPixmapList>();
        qDBusRegisterMetaType<SniToolTip>();
        qDBusRegisterMetaType<DBusMenuItem>();
        qDBusRegisterMetaType<DBusMenuItemList>();
        qDBusRegisterMetaType<DBusMenuItemKeys>();
        qDBusRegisterMetaType<DBusMenuItemKeysList>();
        qDBusRegisterMetaType<DBusMenuLayout>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<DBusMenuEventList>();
        qDBusRegisterMetaType<QList<int>>();
        // QtDBus finds a method's parameter types by the names moc wrote, so the aliases need
        // their names too; without them a signal is never sent and a method never answered.
        qRegisterMetaType<SniPixmapList>("SniPixmapList");
        qRegisterMetaType<DBusMenuItemList>("DBusMenuItemList");
        qRegisterMetaType<DBusMenuItemKeysList>("DBusMenuItemKeysList");
        qRegisterMetaType<DBusMenuEventList>("DBusMenuEventList");
        return true;
    }();
    Q_UNUSED(done);
}

// ---- dbusmenu --------------------------------------------------------------------------------

DBusMenuExporter::DBusMenuExporter(QObject* parent) : QObject(parent) { registerDBusTypes(); }

void DBusMenuExporter::setMenu(QMenu* menu)
{
    if (m_menu == menu) return;
    if (m_menu)
        for (QAction* a : m_menu->actions()) disconnect(a, &QAction::changed, this, nullptr);
    m_menu = menu;
    if (!menu) return;
    for (QAction* a : menu->actions())
        connect(a, &QAction::changed, this, [this, a] { actionChanged(a); });
}

QAction* DBusMenuExporter::actionOf(int id) const
{
    if (!m_menu || id < 1) return nullptr;
    const QList<QAction*> actions = m_menu->actions();
    return id <= actions.size() ? actions.at(id - 1) : nullptr;
}

QVariantMap DBusMenuExporter::propertiesOf(int id, const QStringList& names) const
{
    QVariantMap out;
    if (id == 0) {
        out.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (QAction* a = actionOf(id)) {
        if (a->isSeparator()) {
            out.insert(QStringLiteral("type"), QStringLiteral("separator"));
        } else {
            out.insert(QStringLiteral("label"), a->text());
            if (a->isCheckable()) {
                out.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
                out.insert(QStringLiteral("toggle-state"), a->isChecked() ? 1 : 0);
            }
        }
        out.insert(QStringLiteral("enabled"), a->isEnabled());
        out.insert(QStringLiteral("visible"), a->isVisible());
    }
    if (names.isEmpty()) return out;
    QVariantMap wanted;
    for (const QString& n : names)
        if (out.contains(n)) wanted.insert(n, out.value(n));
    return wanted;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 DBusMenuLayout& layout)
{
    layout = DBusMenuLayout{};
    layout.id = parentId;
    layout.properties = propertiesOf(parentId, propertyNames);
    if (parentId == 0 && recursionDepth != 0 && m_menu) {
        for (int id = 1; id <= m_menu->actions().size(); ++id)
            layout.children << DBusMenuLayout{id, propertiesOf(id, propertyNames), {}};
    }
    return m_revision;
}

DBusMenuItemList DBusMenuExporter::GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames)
{
    DBusMenuItemList out;
    QList<int> all = ids;
    if (all.isEmpty() && m_menu)
        for (int id = 0; id <= m_menu->actions().size(); ++id) all << id;
    for (int id : all)
        if (id == 0 || actionOf(id)) out << DBusMenuItem{id, propertiesOf(id, propertyNames)};
    return out;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name)
{
    return QDBusVariant(propertiesOf(id, {name}).value(name));
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant& data, uint timestamp)
{
    Q_UNUSED(data);
    Q_UNUSED(timestamp);
    if (eventId != QLatin1String("clicked")) return;
    QPointer<QAction> a = actionOf(id);
    if (!a || a->isSeparator() || !a->isEnabled()) return;
    // Out of the bus call: a handler may open a modal box or end the program.
    QTimer::singleShot(0, this, [a] {
        if (a) a->trigger();
    });
}

QList<int> DBusMenuExporter::EventGroup(const DBusMenuEventList& events)
{
    QList<int> unknown;
    for (const DBusMenuEvent& e : events) {
        if (e.id != 0 && !actionOf(e.id)) unknown << e.id;
        else Event(e.id, e.eventId, e.data, e.timestamp);
    }
    return unknown;
}

bool DBusMenuExporter::AboutToShow(int id)
{
    Q_UNUSED(id);
    return false;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    for (int id : ids)
        if (id != 0 && !actionOf(id)) idErrors << id;
    return {};
}

void DBusMenuExporter::actionChanged(QAction* action)
{
    if (!m_menu) return;
    const int id = static_cast<int>(m_menu->actions().indexOf(action)) + 1;
    if (id < 1) return;
    // One click changes the check more than once on its way (the handler sets it itself): the
    // host hears the end state once.
    if (m_changed.isEmpty()) QTimer::singleShot(0, this, &DBusMenuExporter::sendChanges);
    if (!m_changed.contains(id)) m_changed << id;
}

void DBusMenuExporter::sendChanges()
{
    DBusMenuItemList updated;
    for (int id : std::as_const(m_changed)) updated << DBusMenuItem{id, propertiesOf(id, {})};
    m_changed.clear();
    ++m_revision;
    emit ItemsPropertiesUpdated(updated, {});
    emit LayoutUpdated(m_revision, 0);
}

// ---- the item --------------------------------------------------------------------------------

StatusNotifierItem::StatusNotifierItem(QObject* parent)
    : QObject(parent), m_bus(QDBusConnection::sessionBus()), m_menu(new DBusMenuExporter(this))
{
    registerDBusTypes();
    if (!m_bus.isConnected()) return;
    m_watch = new QDBusServiceWatcher(kWatcherService, m_bus,
                                      QDBusServiceWatcher::WatchForRegistration |
                                          QDBusServiceWatcher::WatchForUnregistration,
                                      this);
    connect(m_watch, &QDBusServiceWatcher::serviceRegistered, this, &StatusNotifierItem::watcherAppeared);
    connect(m_watch, &QDBusServiceWatcher::serviceUnregistered, this, &StatusNotifierItem::watcherGone);
    m_watcherPresent = m_bus.interface()->isServiceRegistered(kWatcherService);
}

StatusNotifierItem::~StatusNotifierItem() { setShown(false); }

void StatusNotifierItem::setMenu(QMenu* menu) { m_menu->setMenu(menu); }

void StatusNotifierItem::setIcon(const QImage& image)
{
    m_pixmaps.clear();
    for (int size : {16, 22, 32, 48}) {
        const QImage scaled = (image.width() == size ? image : image.scaled(size, size, Qt::KeepAspectRatio,
                                                                            Qt::SmoothTransformation))
                                  .convertToFormat(QImage::Format_ARGB32);
        SniPixmap p{scaled.width(), scaled.height(), {}};
        p.bytes.reserve(scaled.width() * scaled.height() * 4);
        for (int y = 0; y < scaled.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
            for (int x = 0; x < scaled.width(); ++x) {
                const QRgb c = line[x];
                p.bytes.append(static_cast<char>(qAlpha(c)));
                p.bytes.append(static_cast<char>(qRed(c)));
                p.bytes.append(static_cast<char>(qGreen(c)));
                p.bytes.append(static_cast<char>(qBlue(c)));
            }
        }
        m_pixmaps << p;
    }
    if (m_exported) emit NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text)
{
    if (m_toolTip == text) return;
    m_toolTip = text;
    if (m_exported) emit NewToolTip();
}

SniToolTip StatusNotifierItem::toolTip() const { return SniToolTip{QString(), {}, m_toolTip, QString()}; }

QDBusObjectPath StatusNotifierItem::menuPath() const { return QDBusObjectPath(kMenuPath); }

void StatusNotifierItem::setShown(bool shown)
{
    m_shown = shown;
    if (!m_bus.isConnected()) return;
    if (shown && !m_exported) {
        // One name per process and icon, as the protocol asks.
        m_service = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
        const auto options = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals |
                             QDBusConnection::ExportAllProperties;
        m_exported = m_bus.registerObject(kItemPath, this, options) &&
                     m_bus.registerObject(kMenuPath, m_menu, options);
        m_bus.registerService(m_service);
        if (m_watcherPresent) registerWithWatcher();
    } else if (!shown && m_exported) {
        m_bus.unregisterService(m_service);
        m_bus.unregisterObject(kMenuPath);
        m_bus.unregisterObject(kItemPath);
        m_exported = false;
    }
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, QStringLiteral("/StatusNotifierWatcher"),
                                                       kWatcherService,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_service;
    m_bus.asyncCall(call);
}

void StatusNotifierItem::watcherAppeared()
{
    m_watcherPresent = true;
    if (m_exported) registerWithWatcher();
    emit hostChanged(true);
}

void StatusNotifierItem::watcherGone()
{
    m_watcherPresent = false;
    emit hostChanged(false);
}

void StatusNotifierItem::Activate(int x, int y)
{
    Q_UNUSED(x);
    Q_UNUSED(y);
    emit activated();
}

void StatusNotifierItem::SecondaryActivate(int x, int y)
{
    Q_UNUSED(x);
    Q_UNUSED(y);
}

void StatusNotifierItem::ContextMenu(int x, int y) { emit contextMenuRequested(QPoint(x, y)); }

void StatusNotifierItem::Scroll(int delta, const QString& orientation)
{
    Q_UNUSED(delta);
    Q_UNUSED(orientation);
}
