#pragma once
// A data folder with the users "amy" and "bob" and a way to store entries.
#include "platform/core/Prompter.h"
#include "store/Layouts.h"
#include "store/StartUp.h"
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace ql::test {

class HealthFixture : public ::testing::Test {
protected:
    static constexpr int32_t kToday = 82000;

    void SetUp() override {
        if (!QCoreApplication::instance()) {
            // Kept to the end: destroying it during static teardown is not safe.
            static int argc = 1;
            static char name[] = "health_test";
            static char* argv[] = {name, nullptr};
            static QCoreApplication* app = new QCoreApplication(argc, argv);
            (void)app;
        }
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        services_ = std::make_unique<ProgramServices>(
            ProgramKind::Main, QStringList{"prog", "Data=" + dir_.path()}, prompter_, [](const QString&) {});
        addUser(QStringLiteral("amy"));
        addUser(QStringLiteral("bob"));
    }
    void TearDown() override {
        services_.reset();
        QDir::setCurrent(previous_);
    }

    RecordManagers& managers() { return services_->managers(); }

    void addUser(const QString& name) {
        DataTable users(usersTable());
        ASSERT_EQ(managers().users.open(users), 0);
        users.record().setText("U_:NAME", name);
        users.record().setText("U_:PASSWORD", u"Not Required");
        ASSERT_EQ(users.add(), 0);
    }

    using Fill = std::function<void(Record&)>;
    qint64 storeEntry(const QString& user, const QString& service, const QString& password,
                      const Fill& fill = {}) {
        DataTable table(passwordsTable());
        EXPECT_EQ(managers().passwords.open(table), 0);
        managers().passwords.primeRecord(table.record());
        Record& r = table.record();
        r.setText("P_:USER", user);
        r.setText("P_:SERVICE", service);
        r.setText("P_:NAME", QStringLiteral("name of ") + service);
        r.setText("P_:PASSWORD", password);
        r.setText("P_:CONFIRMPASSWORD", password);
        r.setNumber("P_:LASTCHANGEDATE", kToday - 10);
        if (fill) fill(r);
        EXPECT_EQ(table.add(), 0);
        return table.recordNumber();
    }

    QTemporaryDir dir_;
    QString previous_;
    ScriptedPrompter prompter_;
    std::unique_ptr<ProgramServices> services_;
};

} // namespace ql::test
