#include "store/Layouts.h"
#include "platform/records/Record.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {
std::vector<const TableDef*> allTables() {
    auto tables = currentTables();
    tables.push_back(&oldUsersTable());
    tables.push_back(&oldPasswordsTable());
    return tables;
}
} // namespace

TEST(TableLayouts, FieldSizesAddUpToTheDeclaredRecordBytes) {
    for (const TableDef* def : allTables())
        EXPECT_EQ(def->computedRecordBytes(), def->recordBytes) << def->label.toStdString();
}

TEST(TableLayouts, KeysNameExistingFieldsAndCarryTheirRules) {
    for (const TableDef* def : allTables()) {
        for (const KeyDef& key : def->keys) {
            EXPECT_FALSE(key.components.empty()) << key.name.toStdString();
            for (int c : key.components)
                EXPECT_GE(c, 0) << key.name.toStdString();
            EXPECT_EQ(key.caseSensitive, key.name == "SP_:KEYPASTE") << key.name.toStdString();
        }
    }
    const TableDef& p = passwordsTable();
    EXPECT_EQ(p.keys.size(), 9u);
    const KeyDef& service = p.keys[p.keyIndex("p_:keyservice")];
    EXPECT_EQ(service.description, "Service");
    EXPECT_TRUE(service.unique);
    EXPECT_EQ(service.components, (std::vector<int>{1, 2, 4}));
    EXPECT_FALSE(p.keys[p.keyIndex("P_:KEYURL")].unique);
    EXPECT_EQ(p.autoIncrementField(), p.fieldIndex("P_:ID"));
    EXPECT_EQ(syncFileTable().keys.size(), 7u);
    EXPECT_EQ(syncFileTable().fieldIndex("SF_:ID"), -1);
    EXPECT_EQ(tipOfTheDayTable().autoIncrementField(), 0);
    EXPECT_EQ(usersTable().keys.size(), 2u);
    EXPECT_EQ(wordsTable().owner, OwnerKeyKind::Words);
    EXPECT_EQ(scriptPasteTable().owner, OwnerKeyKind::None);
    EXPECT_EQ(oldPasswordsTable().owner, OwnerKeyKind::Old);
    EXPECT_EQ(oldPasswordsTable().keys.size(), 6u);
}

TEST(TableLayouts, FieldsAndGroupsAreFoundByNameInAnyCase) {
    const TableDef& p = passwordsTable();
    EXPECT_EQ(p.fieldIndex("P_:Service"), 2);
    EXPECT_EQ(p.fieldIndex(u"p_:service"), 2);
    EXPECT_EQ(p.fieldIndex("P_:ENCRYPTEDFILE"), 24);
    EXPECT_EQ(p.fieldIndex("SERVICE"), -1);
    EXPECT_EQ(p.fieldIndex("P_:AUTOPASTE"), -1);
    const int group = p.groupIndex("P_:AutoPaste");
    ASSERT_GE(group, 0);
    EXPECT_EQ(p.groups[group].first, p.fieldIndex("P_:MONITOR"));
    EXPECT_EQ(p.groups[group].last, p.fieldIndex("P_:DIRECTSEND"));
}

TEST(RecordBuffer, TextIsKeptWithItsBlanksCutToWidthAndComparedWithoutTrailingBlanks) {
    Record r(passwordsTable());
    r.setText("P_:WINDOWCONTENTS", QString(50, u'x'));
    EXPECT_EQ(r.text("P_:WINDOWCONTENTS").size(), 40);
    r.setText("P_:SERVICE", u"  Mail   ");
    EXPECT_EQ(r.text("P_:SERVICE"), "  Mail   ");
    r.setText(r.fieldIndex("P_:PASSWORD"), QStringLiteral("   leading and trailing   "));
    EXPECT_EQ(r.text("P_:PASSWORD"), "   leading and trailing   ");
    EXPECT_EQ(r.paddedText(r.fieldIndex("P_:SERVICE")).size(), 128);
    EXPECT_TRUE(r.sameText(r.fieldIndex("P_:SERVICE"), u"  MAIL "));
    EXPECT_TRUE(r.sameText(r.fieldIndex("P_:SERVICE"), u"  MAIL"));
    EXPECT_FALSE(r.sameText(r.fieldIndex("P_:SERVICE"), u"  MAIL", true));
    EXPECT_FALSE(r.sameText(r.fieldIndex("P_:SERVICE"), u"Mail"));
    // Only the width cuts, a blank at the cut included.
    const int startType = r.fieldIndex("P_:STARTTYPE");
    EXPECT_TRUE(r.fitsText(startType, QString(19, u'a') + u' '));
    EXPECT_FALSE(r.fitsText(startType, QString(19, u'a') + QStringLiteral("  ")));
    r.setText(startType, QString(19, u'a') + QStringLiteral("  b"));
    EXPECT_EQ(r.text(startType), QString(19, u'a') + u' ');
    r.setText("P_:NOTES", QString(10'005, u'n'));
    EXPECT_EQ(r.text("P_:NOTES").size(), 10'000);
    r.setText("P_:NOSUCHFIELD", u"x");
    EXPECT_EQ(r.text("P_:NOSUCHFIELD"), "");
    r.clear();
    EXPECT_EQ(r.text("P_:SERVICE"), "");
    EXPECT_EQ(r.text("P_:NOTES"), "");
    // A key that compares stored texts exactly keeps them without trailing
    // blanks, so that it still ignores them.
    Record paste(scriptPasteTable());
    paste.setText("SP_:PASTE", QStringLiteral("[Name][Tab]  "));
    EXPECT_EQ(paste.text("SP_:PASTE"), "[Name][Tab]");
}

TEST(RecordBuffer, NumbersKeepTheirFieldTypeRange) {
    Record p(passwordsTable());
    p.setNumber("P_:MONITOR", 257);
    EXPECT_EQ(p.number("P_:MONITOR"), 1);
    p.setNumber("P_:LEVEL", 0x1'0000'0005LL);
    EXPECT_EQ(p.number("P_:LEVEL"), 5);
    p.setText("P_:EXPIRYINTERVAL", u" 30 ");
    EXPECT_EQ(p.number("P_:EXPIRYINTERVAL"), 30);
    EXPECT_EQ(p.text("P_:EXPIRYINTERVAL"), "30");
    p.setText("P_:LEVEL", u"abc");
    EXPECT_EQ(p.number("P_:LEVEL"), 0);
    Record tip(tipOfTheDayTable());
    tip.setNumber("TIP:TIPID", 123'456'789'012LL);
    EXPECT_EQ(tip.number("TIP:TIPID"), 99'999'999'999LL);
}

TEST(RecordBuffer, FieldsCopyBetweenTablesOfDifferentPrefixes) {
    Record old(oldPasswordsTable());
    old.setText("P_002:USER", u"amy");
    old.setText("P_002:SERVICE", QString(30, u's'));
    old.setNumber("P_002:DONOTREPEATSECONDS", 77);
    old.setText("P_002:MORENOTES", QString(5000, u'm'));
    Record entry(passwordsTable());
    Record::copyField(entry, entry.fieldIndex("P_:SERVICE"), old, old.fieldIndex("P_002:SERVICE"));
    Record::copyField(entry, entry.fieldIndex("P_:MORENOTES"), old,
                      old.fieldIndex("P_002:MORENOTES"));
    EXPECT_EQ(entry.text("P_:SERVICE"), QString(30, u's'));
    EXPECT_EQ(entry.paddedText(entry.fieldIndex("P_:SERVICE")), QString(30, u's') + QString(98, u' '));
    EXPECT_EQ(entry.text("P_:MORENOTES").size(), 5000);
    // Text to number and back, and a cut into a narrower field.
    Record::copyField(entry, entry.fieldIndex("P_:PASTE"), old,
                      old.fieldIndex("P_002:DONOTREPEATSECONDS"));
    EXPECT_EQ(entry.text("P_:PASTE"), "77");
    Record::copyField(old, old.fieldIndex("P_002:USER"), entry, entry.fieldIndex("P_:MORENOTES"));
    EXPECT_EQ(old.text("P_002:USER").size(), 30);

    entry.setNumber("P_:ID", 12);
    entry.setBlob("P_:ENCRYPTEDFILE", QByteArray("\0\1\2", 3));
    Record sync(syncFileTable());
    EXPECT_EQ(Record::copyMatchingFields(sync, entry), 24); // all but P_:ID
    EXPECT_EQ(sync.text("SF_:SERVICE"), QString(30, u's'));
    EXPECT_EQ(sync.blob("SF_:ENCRYPTEDFILE"), QByteArray("\0\1\2", 3));
}
