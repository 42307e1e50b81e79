#pragma once
#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace ql {

// The parameters of the command line (the first argument is the program).
class CommandLineParameters {
public:
    explicit CommandLineParameters(QStringList arguments);
    // The value of a parameter written key=value with the key as spelled (an
    // optional leading "/" or "-" allowed), or an empty text.
    QString value(const QString& key) const;
    // True when a parameter is exactly `name` ("/SyncIn").
    bool has(const QString& name) const;
    // The n-th parameter, counting from 1 and passing over the program's own
    // keyed parameters ("Data=", "User=", ...), or an empty text.
    QString at(int n) const;

private:
    QStringList arguments_;
};

// A synchronization asked for on the command line.
struct SyncRequest {
    QChar direction;  // 'I' receives, 'O' sends
    QString user;     // at most 128 characters
    QString password; // at most 128 characters; "-" means: read it from standard input
    QString file;     // kept whole
    // For a user without a password: the file's own password (at most 128
    // characters; "-" means the next line of standard input). Not used for
    // a user with a password, whose password seals the file.
    QString filePassword;
    // User, password and file all given (not blank).
    bool complete() const;
};

// Reads the synchronization parameters: "Sync"/"SYNC" (first letter), else the
// switches "/SyncIn" and "/SyncOut" ("O" wins when both are given); user from
// "User", "Name", "NAME" or parameter 2; password from "Password", "PASSWORD"
// or parameter 3; file from "File", parameter 4 or "FILE"; the file's own
// password from "FilePassword". Nothing when the
// direction is not exactly "I" or "O": the program then starts normally.
std::optional<SyncRequest> syncRequest(const QStringList& arguments);

} // namespace ql
