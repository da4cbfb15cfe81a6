#include "clock/main_window.h"
#include "platform/status_notifier_item.h"
#include "support/test_program.h"

#include <QCoreApplication>
#include <QDBusMetaType>
#include <QMetaMethod>
#include <gtest/gtest.h>

namespace {
using DBusMenuTest = ProgramTest;

// Each item of the menu as "id label", a separator as "id -", a check as "id label [x]" or "[ ]".
QStringList layoutLines(DBusMenuExporter& menu)
{
    DBusMenuLayout root;
    menu.GetLayout(0, -1, {}, root);
    QStringList out;
    for (const DBusMenuLayout& child : root.children) {
        const QVariantMap& p = child.properties;
        QString line = QString::number(child.id) + QLatin1Char(' ');
        if (p.value(QStringLiteral("type")) == QStringLiteral("separator")) line += QLatin1Char('-');
        else line += p.value(QStringLiteral("label")).toString();
        if (p.contains(QStringLiteral("toggle-state")))
            line += p.value(QStringLiteral("toggle-state")).toInt() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
        out << line;
    }
    return out;
}
}  // namespace

TEST_F(DBusMenuTest, LayoutHoldsTheTrayMenuAndFollowsTheDisabledCheck)
{
    Form1& f = p.form1();
    DBusMenuExporter menu;
    menu.setMenu(f.PopupMenu());
    const QStringList unchecked = {"1 About",  "2 -",    "3 Alarm Set", "4 Settings",     "5 Wallpaper", "6 -",
                                   "7 Help",   "8 Stop", "9 -",         "10 Disabled [ ]", "11 Remove"};
    EXPECT_EQ(layoutLines(menu), unchecked);

    QList<DBusMenuItem> updates;
    QList<uint> revisions;
    QObject::connect(&menu, &DBusMenuExporter::ItemsPropertiesUpdated, [&](const DBusMenuItemList& u, auto&&) {
        updates << u;
    });
    QObject::connect(&menu, &DBusMenuExporter::LayoutUpdated, [&](uint revision, int) { revisions << revision; });

    // Events a host sends: only a click on an item runs its handler, and only after the call.
    const struct {
        int id;
        const char* event;
        bool disabledAfter;
    } cases[] = {{10, "hovered", false}, {9, "clicked", false}, {42, "clicked", false},
                 {10, "clicked", true},  {10, "clicked", false}};
    for (const auto& c : cases) {
        menu.Event(c.id, QString::fromLatin1(c.event), QDBusVariant(0), 0);
        QCoreApplication::processEvents();  // the handler, then the news of its change
        QCoreApplication::processEvents();
        EXPECT_EQ(f.DisabledChecked(), c.disabledAfter) << c.id << ' ' << c.event;
    }
    // Each change of the check reached the host, with the new state and a new revision.
    ASSERT_EQ(updates.size(), 2);
    EXPECT_EQ(updates[0].id, 10);
    EXPECT_EQ(updates[0].properties.value(QStringLiteral("toggle-state")).toInt(), 1);
    EXPECT_EQ(updates[1].properties.value(QStringLiteral("toggle-state")).toInt(), 0);
    ASSERT_EQ(revisions.size(), 2);
    EXPECT_LT(revisions[0], revisions[1]);

    // The check from the menu's own handler (the tray menu or the no-tray window) shows too.
    f.mDisabled_Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(updates.size(), 3);
    QStringList checked = unchecked;
    checked[9] = QStringLiteral("10 Disabled [x]");
    EXPECT_EQ(layoutLines(menu), checked);
    EXPECT_EQ(menu.GetProperty(10, QStringLiteral("toggle-state")).variant().toInt(), 1);
    const DBusMenuItemList group = menu.GetGroupProperties({1, 2, 42}, {QStringLiteral("label")});
    ASSERT_EQ(group.size(), 2);
    EXPECT_EQ(group[0].properties, (QVariantMap{{QStringLiteral("label"), QStringLiteral("About")}}));
    EXPECT_TRUE(group[1].properties.isEmpty());
}

TEST(StatusNotifierItem, IconPixmapsAreArgbInNetworkOrder)
{
    ensureApplication();
    StatusNotifierItem item;
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgba(0x11, 0x22, 0x33, 0xff));
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    item.setIcon(image);
    bool full = false;
    for (const SniPixmap& p : item.iconPixmap()) {
        ASSERT_EQ(p.bytes.size(), p.width * p.height * 4);
        if (p.width != 32) continue;
        full = true;
        EXPECT_EQ(p.bytes.mid(0, 4), QByteArray("\x00\x00\x00\x00", 4));
        EXPECT_EQ(p.bytes.mid(4, 4), QByteArray("\xff\x11\x22\x33", 4));
    }
    EXPECT_TRUE(full);
}

// QtDBus looks up every parameter by the type name moc wrote; one it cannot find silently drops
// the method or signal from the bus.
TEST(StatusNotifierItem, EveryExportedMethodHasDBusTypesByName)
{
    ensureApplication();
    StatusNotifierItem item;
    DBusMenuExporter menu;
    for (const QMetaObject* mo : {item.metaObject(), menu.metaObject()}) {
        for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
            const QMetaMethod m = mo->method(i);
            if (!(m.attributes() & QMetaMethod::Scriptable)) continue;
            QList<QByteArray> names = m.parameterTypes();
            if (m.returnType() != QMetaType::Void) names << m.typeName();
            for (QByteArray name : names) {
                if (name.endsWith('&')) name.chop(1);  // an output parameter
                const QMetaType type = QMetaType::fromName(name);
                EXPECT_TRUE(type.isValid() && QDBusMetaType::typeToSignature(type))
                    << m.methodSignature().constData() << ": " << name.constData();
            }
        }
    }
}
