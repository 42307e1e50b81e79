#include "platform/recordstore/LastingVerdicts.h"
#include "platform/core/PrivateFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace ql::lasting_verdicts {

namespace {

constexpr char kHeading[] = "quillock checked tables 1";
constexpr qint64 kMaxBytes = 64 * 1024;

std::optional<FileIdentity> parseLine(const QByteArray& line) {
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 7)
        return std::nullopt;
    long long values[7];
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        values[i] = parts[i].toLongLong(&ok);
        if (!ok || values[i] < 0)
            return std::nullopt;
    }
    return FileIdentity{dev_t(values[0]), ino_t(values[1]), off_t(values[2]), values[3],
                        values[4],        values[5],        values[6]};
}

QByteArray lineOf(const FileIdentity& id) {
    return QByteArray::number(qulonglong(id.device)) + ' ' + QByteArray::number(qulonglong(id.inode)) + ' ' +
           QByteArray::number(qlonglong(id.size)) + ' ' + QByteArray::number(id.modified) + ' ' +
           QByteArray::number(id.modifiedNs) + ' ' + QByteArray::number(id.changed) + ' ' +
           QByteArray::number(id.changedNs) + '\n';
}

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode;
}

} // namespace

std::vector<FileIdentity> read(const QString& file) {
    std::vector<FileIdentity> kept;
    QFile f(file);
    if (private_file::isSymbolicLink(file) || !f.open(QIODevice::ReadOnly))
        return kept;
    const QList<QByteArray> lines = f.read(kMaxBytes).split('\n');
    if (lines.isEmpty() || lines.front() != kHeading)
        return kept;
    for (qsizetype i = 1; i < lines.size() && kept.size() < kMaxEntries; ++i)
        if (const std::optional<FileIdentity> id = parseLine(lines[i]))
            kept.push_back(*id);
    return kept;
}

void add(const QString& file, const std::vector<FileIdentity>& sound) {
    if (file.isEmpty() || sound.empty())
        return;
    std::vector<FileIdentity> kept = read(file);
    std::erase_if(kept, [&](const FileIdentity& old) {
        return std::any_of(sound.begin(), sound.end(), [&](const FileIdentity& s) { return sameFile(old, s); });
    });
    kept.insert(kept.end(), sound.begin(), sound.end());
    if (kept.size() > kMaxEntries)
        kept.erase(kept.begin(), kept.end() - qsizetype(kMaxEntries));
    QByteArray text = QByteArray(kHeading) + '\n';
    for (const FileIdentity& id : kept)
        text += lineOf(id);
    const QString folder = QFileInfo(file).path();
    if (!QDir(folder).exists()) {
        if (!QDir().mkpath(folder))
            return;
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    private_file::write(file, text);
}

} // namespace ql::lasting_verdicts
