#include "store/Layouts.h"
#include <initializer_list>

namespace ql {

namespace {

using T = FieldType;

struct KeySpec {
    const char* name;
    const char* description;
    std::initializer_list<const char*> components;
    bool unique = false;
    bool primary = false;
    bool autoIncrement = false;
    bool caseSensitive = false;
};

// Field names are written without the prefix here and prefixed once.
struct FieldSpec {
    const char* name;
    FieldType type;
    int width = 0;
};

void addFields(TableDef& def, std::initializer_list<FieldSpec> fields) {
    for (const FieldSpec& f : fields)
        def.fields.push_back({def.prefix + u':' + QLatin1String(f.name), f.type, f.width});
}

void addGroup(TableDef& def, const char* name, const char* first, const char* last) {
    const QString p = def.prefix + u':';
    def.groups.push_back({p + QLatin1String(name), def.fieldIndex(p + QLatin1String(first)),
                          def.fieldIndex(p + QLatin1String(last))});
}

void addKeys(TableDef& def, std::initializer_list<KeySpec> keys) {
    const QString p = def.prefix + u':';
    for (const KeySpec& k : keys) {
        KeyDef key{p + QLatin1String(k.name), QLatin1String(k.description), {},
                   k.unique, k.primary, k.autoIncrement, k.caseSensitive};
        for (const char* c : k.components)
            key.components.push_back(def.fieldIndex(p + QLatin1String(c)));
        def.keys.push_back(key);
    }
    def.finishLayout();
}

TableDef start(const char* label, const char* prefix, const char* storedAs, OwnerKeyKind owner,
               int version, int bytes) {
    TableDef def;
    def.label = QLatin1String(label);
    def.prefix = QLatin1String(prefix);
    def.storedAs = QLatin1String(storedAs);
    def.owner = owner;
    def.structureVersion = version;
    def.recordBytes = bytes;
    return def;
}

// Passwords and SyncFile share everything after P_:ID.
void addEntryFields(TableDef& def, bool withId) {
    if (withId)
        addFields(def, {{"ID", T::Long}});
    addFields(def, {{"USER", T::String, 128}, {"SERVICE", T::String, 128},
                    {"URL", T::String, 255}, {"NAME", T::String, 128},
                    {"PASSWORD", T::String, 128}, {"CONFIRMPASSWORD", T::String, 128},
                    {"EXPIRYDATE", T::Date}, {"EXPIRYINTERVAL", T::Long},
                    {"LASTCHANGEDATE", T::Date}, {"LASTCHANGETIME", T::Time},
                    {"LEVEL", T::Long}, {"MONITOR", T::Byte}, {"SECONDSTOWAIT", T::Byte},
                    {"WINDOWTITLETOLOCATE", T::String, 100}, {"WINDOWCONTENTS", T::String, 40},
                    {"DONOTREPEATSECONDS", T::Long}, {"PASTE", T::String, 255},
                    {"DIRECTSEND", T::Byte}, {"STARTTYPE", T::String, 20},
                    {"FILENAME", T::String, 255}, {"ENCRYPTEDFILENAME", T::String, 255},
                    {"NOTES", T::Memo, 10000}, {"MORENOTES", T::Memo, 10000},
                    {"ENCRYPTEDFILE", T::Blob}});
    def.finishLayout();
    addGroup(def, "AUTOPASTE", "MONITOR", "DIRECTSEND");
}

TableDef makePasswords() {
    TableDef def = start("Passwords", "P_", "QL_DATA\\!Pwd", OwnerKeyKind::Owner, 10, 1851);
    addEntryFields(def, true);
    addKeys(def, {{"KEYID", "Unique ID", {"ID"}, true, true, true},
                  {"KEYSERVICE", "Service", {"USER", "SERVICE", "NAME"}, true},
                  {"KEYNAME", "Name", {"USER", "NAME", "SERVICE"}, true},
                  {"KEYURL", "URL", {"USER", "URL", "NAME"}},
                  {"KEYPASSWORD", "Password", {"PASSWORD", "NAME", "SERVICE"}},
                  {"KEYMONITOR", "Monitor", {"USER", "MONITOR", "SERVICE"}},
                  {"KEYDATECHANGED", "Last Changed",
                   {"USER", "LASTCHANGEDATE", "LASTCHANGETIME", "SERVICE"}},
                  {"KEYEXPIRYDATE", "Expiry Date", {"USER", "EXPIRYDATE", "SERVICE"}},
                  {"KEYLEVEL", "Level", {"LEVEL", "SERVICE"}}});
    return def;
}

TableDef makeSyncFile() {
    TableDef def = start("SyncFile", "SF_", "quillock.syn", OwnerKeyKind::Owner, 10, 1847);
    addEntryFields(def, false);
    addKeys(def, {{"KEYSERVICE", "Service", {"USER", "SERVICE", "NAME"}, true},
                  {"KEYNAME", "Name", {"USER", "NAME", "SERVICE"}, true},
                  {"KEYURL", "URL", {"USER", "URL", "NAME"}},
                  {"KEYPASSWORD", "Password", {"PASSWORD", "NAME", "SERVICE"}},
                  {"KEYMONITOR", "SF_:KeyMonitor", {"USER", "MONITOR", "SERVICE"}},
                  {"KEYDATECHANGED", "SF_:KeyDateChanged",
                   {"USER", "LASTCHANGEDATE", "LASTCHANGETIME", "SERVICE"}},
                  {"KEYEXPIRYDATE", "Expiry Date", {"USER", "EXPIRYDATE", "SERVICE"}}});
    return def;
}

TableDef makeUsers() {
    TableDef def = start("Users", "U_", "QL_DATA\\!Users", OwnerKeyKind::Owner, 10, 2549);
    addFields(def, {{"NAME", T::String, 128}, {"PASSWORD", T::String, 128},
                    {"CONFIRMPASSWORD", T::String, 128}, {"LASTDATECHANGED", T::Date},
                    {"LASTTIMECHANGED", T::Time}, {"LEVEL", T::Long}, {"NOTES", T::String, 2048},
                    {"SHOWPASSWORDS", T::Byte}, {"PASSWORDSIZE", T::Long},
                    {"PASSWORDTYPE", T::String, 20}, {"CONCATENATIONTYPE", T::String, 20},
                    {"LASTNAMEUSED", T::String, 60}});
    def.finishLayout();
    addGroup(def, "PREFERENCES", "SHOWPASSWORDS", "LASTNAMEUSED");
    addKeys(def, {{"KEYNAME", "Name", {"NAME"}, true},
                  {"KEYLEVEL", "Level", {"LEVEL", "NAME"}}});
    return def;
}

TableDef makeConfiguration() {
    TableDef def =
        start("Configuration", "CF", "QL_DATA\\!Settings", OwnerKeyKind::Owner, 10, 299);
    addFields(def, {{"DATATYPE", T::String, 40}, {"DATAVALUE", T::String, 255},
                    {"DATEADDED", T::Date}});
    def.finishLayout();
    addKeys(def, {{"KEYDATATYPE", "Data Type", {"DATATYPE"}, true}});
    return def;
}

TableDef makeWords() {
    TableDef def = start("Words", "W_", "qlock_w.tps", OwnerKeyKind::Words, 0, 20);
    addFields(def, {{"WORD", T::String, 20}});
    def.finishLayout();
    addKeys(def, {{"KEYWORD", "W_:KeyWord", {"WORD"}, true}});
    return def;
}

TableDef makeScriptPaste() {
    TableDef def = start("ScriptPaste", "SP_", "QLOCK_S", OwnerKeyKind::None, 2, 512);
    addFields(def, {{"PASTE", T::String, 512}});
    def.finishLayout();
    addKeys(def, {{"KEYPASTE", "Text to Send", {"PASTE"}, true, true, false, true}});
    return def;
}

TableDef makeTipOfTheDay() {
    TableDef def = start("TipOfTheDay", "TIP", "QLOCK_T", OwnerKeyKind::None, 0, 6);
    addFields(def, {{"TIPID", T::Decimal}, {"TIPDESC", T::Memo, 1000}});
    def.finishLayout();
    addKeys(def, {{"KEYTIPID", "Tip", {"TIPID"}, true, true, true}});
    return def;
}

TableDef makeOldUsers() {
    TableDef def = start("Users21", "U_002", "QLDATA\\!US", OwnerKeyKind::Old, 0, 385);
    addFields(def, {{"NAME", T::String, 30}, {"PASSWORD", T::String, 25},
                    {"CONFIRMPASSWORD", T::String, 25}, {"LASTDATECHANGED", T::Date},
                    {"LASTTIMECHANGED", T::Time}, {"FLAG1", T::Byte}, {"FLAG2", T::Byte},
                    {"OTHER1", T::String, 20}, {"OTHER2", T::String, 20},
                    {"NOTES", T::String, 255}});
    def.finishLayout();
    addKeys(def, {{"KEYNAME", "U_002:KeyName", {"NAME"}, true}});
    return def;
}

TableDef makeOldPasswords() {
    TableDef def = start("Passwords21", "P_002", "QLDATA\\!PW", OwnerKeyKind::Old, 0, 715);
    addFields(def, {{"USER", T::String, 30}, {"SERVICE", T::String, 30}, {"URL", T::String, 90},
                    {"NAME", T::String, 30}, {"PASSWORD", T::String, 30},
                    {"CONFIRMPASSWORD", T::String, 30}, {"LASTCHANGEDATE", T::Date},
                    {"LASTCHANGETIME", T::Time}, {"OTHERDATA", T::String, 20},
                    {"OTHERDATA2", T::String, 20}, {"FLAG1", T::Byte}, {"FLAG2", T::Byte},
                    {"FLAG3", T::Byte}, {"MONITOR", T::Byte}, {"TYPEOFSERVICE", T::String, 20},
                    {"SECONDSTOWAIT", T::Byte}, {"WINDOWTITLETOLOCATE", T::String, 100},
                    {"DONOTREPEATSECONDS", T::Long}, {"PASTE", T::String, 255},
                    {"OTHER1", T::String, 20}, {"OTHER2", T::String, 20}, {"APFLAG1", T::Byte},
                    {"APFLAG2", T::Byte}, {"APFLAG3", T::Byte}, {"NOTES", T::Memo, 10000},
                    {"MORENOTES", T::Memo, 5000}});
    def.finishLayout();
    addGroup(def, "AUTOPASTE", "MONITOR", "APFLAG3");
    addKeys(def, {{"KEYSERVICE", "Service", {"USER", "SERVICE", "NAME"}, true},
                  {"KEYNAME", "Name", {"USER", "NAME", "SERVICE"}, true},
                  {"KEYURL", "URL", {"USER", "URL", "NAME"}},
                  {"KEYPASSWORD", "Password", {"PASSWORD", "NAME", "SERVICE"}},
                  {"KEYMONITOR", "Monitor", {"USER", "MONITOR", "SERVICE"}},
                  {"KEYDATECHANGED", "Last Changed",
                   {"USER", "LASTCHANGEDATE", "LASTCHANGETIME", "SERVICE"}}});
    return def;
}

} // namespace

const TableDef& passwordsTable() { static const TableDef& d = keepForProgram(makePasswords()); return d; }
const TableDef& usersTable() { static const TableDef& d = keepForProgram(makeUsers()); return d; }
const TableDef& configurationTable() { static const TableDef& d = keepForProgram(makeConfiguration()); return d; }
const TableDef& syncFileTable() { static const TableDef& d = keepForProgram(makeSyncFile()); return d; }
const TableDef& wordsTable() { static const TableDef& d = keepForProgram(makeWords()); return d; }
const TableDef& scriptPasteTable() { static const TableDef& d = keepForProgram(makeScriptPaste()); return d; }
const TableDef& tipOfTheDayTable() { static const TableDef& d = keepForProgram(makeTipOfTheDay()); return d; }
const TableDef& oldUsersTable() { static const TableDef& d = keepForProgram(makeOldUsers()); return d; }
const TableDef& oldPasswordsTable() { static const TableDef& d = keepForProgram(makeOldPasswords()); return d; }

std::vector<const TableDef*> currentTables() {
    return {&passwordsTable(), &usersTable(), &configurationTable(), &syncFileTable(),
            &wordsTable(), &scriptPasteTable(), &tipOfTheDayTable()};
}

std::vector<const TableDef*> folderTables() {
    return {&passwordsTable(), &usersTable(), &configurationTable(), &wordsTable(),
            &scriptPasteTable(), &tipOfTheDayTable(), &oldUsersTable(), &oldPasswordsTable()};
}

} // namespace ql
