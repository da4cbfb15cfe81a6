#!/usr/bin/env python3
"""A StatusNotifierWatcher for the desktop tests, on the session bus of DBUS_SESSION_BUS_ADDRESS.

  sni_watcher.py FILE    owns org.kde.StatusNotifierWatcher, says a host is registered and
                         appends the bus name of every item that registers to FILE
"""
import sys

from gi.repository import Gio, GLib

NAME = "org.kde.StatusNotifierWatcher"
XML = """<node><interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
</interface></node>"""

items = []


def method_call(connection, sender, path, interface, method, params, invocation):
    if method == "RegisterStatusNotifierItem":
        service = params.unpack()[0]
        # An item may give its object path instead of a bus name: then the sender is the name.
        name = sender if service.startswith("/") else service
        items.append(name)
        with open(sys.argv[1], "a", encoding="utf-8") as out:
            out.write(name + "\n")
        connection.emit_signal(None, path, interface, "StatusNotifierItemRegistered",
                               GLib.Variant("(s)", (name,)))
    invocation.return_value(None)


def get_property(connection, sender, path, interface, prop):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True)}.get(prop, GLib.Variant("i", 0))


def bus_acquired(connection, name):
    info = Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0]
    connection.register_object("/StatusNotifierWatcher", info, method_call, get_property, None)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    loop = GLib.MainLoop()
    Gio.bus_own_name(Gio.BusType.SESSION, NAME, Gio.BusNameOwnerFlags.NONE, bus_acquired, None,
                     lambda *_: loop.quit())
    loop.run()
    return 1


if __name__ == "__main__":
    sys.exit(main())
