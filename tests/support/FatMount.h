#pragma once
// A small FAT file system, the usual USB stick, mounted through FUSE
// (mkfs.vfat and fusefat) in a folder of its own for as long as the object
// lives. Where FUSE cannot mount (no /dev/fuse, no fusefat), mounted() is
// false and says why.
#include <QDir>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>

namespace ql::test {

class FatMount {
public:
    FatMount() {
        const QString image = dir_.filePath("stick.img");
        QDir(dir_.path()).mkdir("stick");
        mountPoint_ = dir_.filePath("stick");
        if (!run("truncate", {"-s", "8M", image}) || !run("mkfs.vfat", {image}) ||
            !run("fusefat", {"-o", "rw+", image, mountPoint_})) {
            return;
        }
        for (int i = 0; i < 50 && !mounted(); ++i) QThread::msleep(20);
        if (!mounted()) why_ = QStringLiteral("fusefat did not mount");
    }
    ~FatMount() {
        if (mounted()) run("fusermount", {"-u", mountPoint_});
    }
    FatMount(const FatMount&) = delete;
    FatMount& operator=(const FatMount&) = delete;

    bool mounted() const {
        QStorageInfo info(mountPoint_);
        info.refresh();
        return info.rootPath() == QDir(mountPoint_).canonicalPath();
    }
    QString why() const { return why_; }
    QString path(const QString& name) const { return mountPoint_ + u'/' + name; }

private:
    bool run(const QString& program, const QStringList& arguments) {
        QProcess p;
        p.start(program, arguments);
        if (p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return true;
        why_ = program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAllStandardError()) +
               p.errorString();
        return false;
    }

    QTemporaryDir dir_;
    QString mountPoint_;
    QString why_;
};

} // namespace ql::test
