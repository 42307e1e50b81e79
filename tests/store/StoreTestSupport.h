#pragma once
#include "platform/recordstore/DataTable.h"
#include "store/Layouts.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ql::test {

inline const QString kTestOwnerKey = QString(64, u'7');

// Each test runs in a fresh data folder made current, with an owner key set.
class StoreFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        setOwnerKey(kTestOwnerKey);
    }
    void TearDown() override { QDir::setCurrent(previous_); }

    QString path(const QString& name) const { return dir_.filePath(name); }

    // Creates and opens a table, failing the test otherwise.
    static void createAndOpen(DataTable& table) {
        ASSERT_EQ(table.create(), 0) << table.errorText().toStdString();
        ASSERT_EQ(table.open(), 0) << table.errorText().toStdString();
    }

    static int addEntry(DataTable& t, const QString& user, const QString& service,
                        const QString& name, const QString& url = {}) {
        Record& r = t.record();
        r.clear();
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", name);
        r.setText("P_:URL", url);
        return t.add();
    }

    QTemporaryDir dir_;
    QString previous_;
};

} // namespace ql::test
