// The module's registration scripts: every key it writes below
// HKEY_CLASSES_ROOT, the values of each key, and what unregistration does
// with it. Texts may hold the variables %MODULE% (absolute path of the
// library), %MODULEDIR% (its directory), %APPID%, %CLSID%, %STRUCTCLSID%,
// %IID% and %LIBID% (identifiers in braces) and %NUMMETHODS% (vtable slots of the
// interface); frame/registration.cpp applies them with
// qxcom::RegisterScripts and UnregisterScripts.
#ifndef QXSOAP_RESOURCES_REGISTRATION_SCRIPTS_H_
#define QXSOAP_RESOURCES_REGISTRATION_SCRIPTS_H_

#include "qxcom/server.h"

namespace qxsoap {

using qxcom::KeyRemoval;
using qxcom::ScriptKey;

// Script 1: the application entry.
inline constexpr ScriptKey kApplicationScript[] = {
    {u"AppID", {}, false, KeyRemoval::kNever},
    {u"AppID\\%APPID%", {{nullptr, u"qxsoapmsg"}}, false, KeyRemoval::kKey},
    {u"AppID\\qxsoapmsg.DLL", {{u"AppID", u"%APPID%"}}, false, KeyRemoval::kKey},
};

// Script 2: the class, its ProgIDs and its in-process server.
inline constexpr ScriptKey kClassScript[] = {
    {u"qxsoapsvc.qxsoapmsg2.1", {{nullptr, u"qxsoapmsg2 Class"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.qxsoapmsg2.1\\CLSID", {{nullptr, u"%CLSID%"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.qxsoapmsg2", {{nullptr, u"qxsoapmsg2 Class"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.qxsoapmsg2\\CLSID", {{nullptr, u"%CLSID%"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.qxsoapmsg2\\CurVer", {{nullptr, u"qxsoapsvc.qxsoapmsg2.1"}}, false,
     KeyRemoval::kKey},
    {u"CLSID", {}, false, KeyRemoval::kNever},
    {u"CLSID\\%CLSID%", {{nullptr, u"qxsoapmsg2 Class"}, {u"AppID", u"%APPID%"}}, true,
     KeyRemoval::kTree},
    {u"CLSID\\%CLSID%\\ProgID", {{nullptr, u"qxsoapsvc.qxsoapmsg2.1"}}, false, KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\VersionIndependentProgID", {{nullptr, u"qxsoapsvc.qxsoapmsg2"}}, false,
     KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\Programmable", {}, true, KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\InprocServer32",
     {{nullptr, u"%MODULE%"}, {u"ThreadingModel", u"Apartment"}}, false, KeyRemoval::kKey},
    {u"CLSID\\%CLSID%\\TypeLib", {{nullptr, u"%LIBID%"}}, false, KeyRemoval::kKey},
};

// The struct component's class: its ProgIDs and its in-process server, the
// same module. It has no interface description of its own.
inline constexpr ScriptKey kStructClassScript[] = {
    {u"qxsoapsvc.StructObject.1", {{nullptr, u"StructObject Class"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.StructObject.1\\CLSID", {{nullptr, u"%STRUCTCLSID%"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.StructObject", {{nullptr, u"StructObject Class"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.StructObject\\CLSID", {{nullptr, u"%STRUCTCLSID%"}}, false, KeyRemoval::kKey},
    {u"qxsoapsvc.StructObject\\CurVer", {{nullptr, u"qxsoapsvc.StructObject.1"}}, false,
     KeyRemoval::kKey},
    {u"CLSID", {}, false, KeyRemoval::kNever},
    {u"CLSID\\%STRUCTCLSID%", {{nullptr, u"StructObject Class"}, {u"AppID", u"%APPID%"}}, true,
     KeyRemoval::kTree},
    {u"CLSID\\%STRUCTCLSID%\\ProgID", {{nullptr, u"qxsoapsvc.StructObject.1"}}, false,
     KeyRemoval::kKey},
    {u"CLSID\\%STRUCTCLSID%\\VersionIndependentProgID", {{nullptr, u"qxsoapsvc.StructObject"}},
     false, KeyRemoval::kKey},
    {u"CLSID\\%STRUCTCLSID%\\InprocServer32",
     {{nullptr, u"%MODULE%"}, {u"ThreadingModel", u"Apartment"}}, false, KeyRemoval::kKey},
};

// The interface description, registered as Windows registers a type
// library: the library entry (whose file is the module itself, where the
// description is compiled in) and the interface entry pointing at it.
inline constexpr ScriptKey kInterfaceScript[] = {
    {u"TypeLib", {}, false, KeyRemoval::kNever},
    {u"TypeLib\\%LIBID%", {}, false, KeyRemoval::kKey},
    {u"TypeLib\\%LIBID%\\1.0", {{nullptr, u"qxsoapmsg 1.0 Type Library"}}, true,
     KeyRemoval::kTree},
    {u"TypeLib\\%LIBID%\\1.0\\0\\win64", {{nullptr, u"%MODULE%"}}, false, KeyRemoval::kKey},
    {u"TypeLib\\%LIBID%\\1.0\\FLAGS", {{nullptr, u"0"}}, false, KeyRemoval::kKey},
    {u"TypeLib\\%LIBID%\\1.0\\HELPDIR", {{nullptr, u"%MODULEDIR%"}}, false, KeyRemoval::kKey},
    {u"Interface", {}, false, KeyRemoval::kNever},
    {u"Interface\\%IID%", {{nullptr, u"Iqxsoapmsg2"}}, true, KeyRemoval::kTree},
    {u"Interface\\%IID%\\ProxyStubClsid32", {{nullptr, u"{00020424-0000-0000-C000-000000000046}"}},
     false, KeyRemoval::kKey},
    {u"Interface\\%IID%\\TypeLib", {{nullptr, u"%LIBID%"}, {u"Version", u"1.0"}}, false,
     KeyRemoval::kKey},
    {u"Interface\\%IID%\\NumMethods", {{nullptr, u"%NUMMETHODS%"}}, false, KeyRemoval::kKey},
};

}  // namespace qxsoap

#endif  // QXSOAP_RESOURCES_REGISTRATION_SCRIPTS_H_
