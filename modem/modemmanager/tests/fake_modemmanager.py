#!/usr/bin/python3
"""A stand-in for ModemManager on a private bus, for tests.

It owns org.freedesktop.ModemManager1 and manages one modem whose port is the device given
with --port (the virtual modem's pseudo-terminal). It answers GetManagedObjects,
InhibitDevice (or refuses it with --refuse-inhibit), the modem's Messaging interface (Create,
Delete, Messages, Added) and Sms.Send. With --reply TEXT each message sent is answered by a
message from its number, announced by Added a moment later. Every call that matters is
appended to the --record file, one line each:

    inhibit UID / uninhibit UID / released UID (the inhibiting connection closed)
    refused UID / sent NUMBER TEXT / deleted PATH

With --absent it stays off ModemManager's name. It prints "ready" on standard output once it owns its name.
"""

import argparse
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

SERVICE = "org.freedesktop.ModemManager1"
ROOT = "/org/freedesktop/ModemManager1"
MODEM_PATH = ROOT + "/Modem/0"
MODEM = SERVICE + ".Modem"
MODEM_3GPP = MODEM + ".Modem3gpp"
MESSAGING = MODEM + ".Messaging"
SMS = SERVICE + ".Sms"
PROPERTIES = "org.freedesktop.DBus.Properties"
OBJECT_MANAGER = "org.freedesktop.DBus.ObjectManager"
UID = "/sys/devices/virtual/tarvik/modem0"

# MMSmsPduType, MMSmsState
DELIVER, SUBMIT = 1, 2
RECEIVED, SENT = 3, 5


class Record:
    def __init__(self, path):
        self.path = path

    def write(self, line):
        with open(self.path, "a", encoding="utf-8") as out:
            out.write(line + "\n")


class Sms(dbus.service.Object):
    def __init__(self, bus, path, modem, properties):
        super().__init__(bus, path)
        self.modem = modem
        self.properties = properties

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties if interface == SMS else {}

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties[name]

    @dbus.service.method(SMS, in_signature="", out_signature="")
    def Send(self):
        self.modem.sent(self)


class Modem(dbus.service.Object):
    def __init__(self, bus, options, record):
        super().__init__(bus, MODEM_PATH)
        self.bus = bus
        self.options = options
        self.record = record
        self.messages = {}
        self.count = 0
        self.reference = 0

    def modem_properties(self):
        return {
            "Device": dbus.String(UID),
            "PrimaryPort": dbus.String(self.options.port_name),
            "Ports": dbus.Array([(self.options.port_name, dbus.UInt32(3))], signature="(su)"),
            "Manufacturer": dbus.String("Fake"),
            "Model": dbus.String("Managed GSM modem"),
            "UnlockRequired": dbus.UInt32(1),
            "SignalQuality": dbus.Struct((dbus.UInt32(67), dbus.Boolean(True)), signature="ub"),
        }

    def interfaces(self):
        return {
            MODEM: self.modem_properties(),
            MODEM_3GPP: {"RegistrationState": dbus.UInt32(5)},
            MESSAGING: {"Messages": dbus.Array(self.messages.keys(), signature="o")},
        }

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.interfaces().get(interface, {})

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.interfaces()[interface][name]

    def add(self, properties):
        self.count += 1
        path = dbus.ObjectPath("%s/SMS/%d" % (ROOT, self.count))
        self.messages[path] = Sms(self.bus, path, self, properties)
        return path

    @dbus.service.method(MESSAGING, in_signature="a{sv}", out_signature="o")
    def Create(self, properties):
        return self.add({
            "PduType": dbus.UInt32(SUBMIT),
            "State": dbus.UInt32(0),
            "Number": dbus.String(properties["number"]),
            "Text": dbus.String(properties.get("text", "")),
            "Timestamp": dbus.String(""),
            "MessageReference": dbus.UInt32(0),
            "DeliveryState": dbus.UInt32(0x100),
        })

    @dbus.service.method(MESSAGING, in_signature="o", out_signature="")
    def Delete(self, path):
        sms = self.messages.pop(path)
        sms.remove_from_connection()
        self.record.write("deleted " + str(path))

    @dbus.service.method(MESSAGING, in_signature="", out_signature="ao")
    def List(self):
        return list(self.messages.keys())

    @dbus.service.signal(MESSAGING, signature="ob")
    def Added(self, path, received):
        pass

    def sent(self, sms):
        self.reference += 1
        sms.properties["State"] = dbus.UInt32(SENT)
        sms.properties["MessageReference"] = dbus.UInt32(self.reference)
        number = str(sms.properties["Number"])
        self.record.write("sent %s %s" % (number, sms.properties["Text"]))
        if self.options.reply:
            GLib.timeout_add(100, self.reply, number)

    def reply(self, number):
        path = self.add({
            "PduType": dbus.UInt32(DELIVER),
            "State": dbus.UInt32(RECEIVED),
            "Number": dbus.String(number),
            "Text": dbus.String(self.options.reply),
            "Timestamp": dbus.String("2025-01-31T13:05:09+01"),
            "MessageReference": dbus.UInt32(0),
            "DeliveryState": dbus.UInt32(0x100),
        })
        self.Added(path, True)
        return False


class Manager(dbus.service.Object):
    def __init__(self, bus, modem, options, record):
        super().__init__(bus, ROOT)
        self.bus = bus
        self.modem = modem
        self.options = options
        self.record = record
        self.inhibitor = None
        self.watch = None

    @dbus.service.method(OBJECT_MANAGER, in_signature="", out_signature="a{oa{sa{sv}}}")
    def GetManagedObjects(self):
        if self.inhibitor is not None:
            return dbus.Dictionary({}, signature="oa{sa{sv}}")
        return {dbus.ObjectPath(MODEM_PATH): self.modem.interfaces()}

    @dbus.service.method(SERVICE, in_signature="sb", out_signature="", sender_keyword="sender")
    def InhibitDevice(self, uid, inhibit, sender=None):
        if self.options.refuse_inhibit:
            self.record.write("refused " + uid)
            raise dbus.exceptions.DBusException(
                "Not authorized to control the device",
                name="org.freedesktop.ModemManager1.Error.Core.Unauthorized")
        if uid != UID:
            raise dbus.exceptions.DBusException(
                "No such device", name="org.freedesktop.ModemManager1.Error.Core.NotFound")
        if inhibit:
            self.inhibitor = sender
            self.watch = self.bus.watch_name_owner(sender, self.owner_changed)
            self.record.write("inhibit " + uid)
        elif self.inhibitor is not None:
            self.end_inhibition("uninhibit")

    def owner_changed(self, owner):
        if owner == "" and self.inhibitor is not None:
            self.end_inhibition("released")

    def end_inhibition(self, how):
        self.watch.cancel()
        self.inhibitor = None
        self.watch = None
        self.record.write("%s %s" % (how, UID))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--port", required=True)
    parser.add_argument("--record", required=True)
    parser.add_argument("--refuse-inhibit", action="store_true")
    parser.add_argument("--reply", default="")
    parser.add_argument("--absent", action="store_true")
    options = parser.parse_args()
    # ModemManager names a port as the kernel does: its path below /dev.
    options.port_name = options.port[5:] if options.port.startswith("/dev/") else options.port

    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(options.address)
    record = Record(options.record)
    modem = Modem(bus, options, record)
    manager = Manager(bus, modem, options, record)
    # --absent: on the bus, but not under ModemManager's name, as when the service is stopped.
    name = None if options.absent else dbus.service.BusName(SERVICE, bus)
    print("ready", flush=True)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, 15, loop.quit)
    loop.run()
    del name, manager


if __name__ == "__main__":
    sys.exit(main())
