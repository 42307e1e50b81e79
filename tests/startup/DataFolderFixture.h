#pragma once
#include "framework/ErrorManager.h"
#include "platform/core/Prompter.h"
#include "platform/recordstore/DataTable.h"
#include "store/OwnerKey.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

// Thrown by the test halt, so a fatal message ends the test's call, not the program.
struct Halted : std::runtime_error {
    explicit Halted(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// A fresh data folder made current for each test, the program's owner key set,
// and an error manager that answers from a script.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        ql::setOwnerKey(ql::buildOwnerKey());
    }
    void TearDown() override { QDir::setCurrent(previous); }

    static ql::Halt throwingHalt() {
        return [](const QString& text) { throw Halted(text); };
    }

    QTemporaryDir folder;
    QString previous;
    ql::ScriptedPrompter prompter;
    ql::ErrorManager errors{prompter, throwingHalt()};
};
