#pragma once
#include <QDialog>
#include <functional>

namespace ql {

class IniStore;
class ProgramServices;
class SyncProcedures;

// "Synchronize": what synchronization is for, and "&Receive", "&Send" and
// "E&xit". The window closes after either operation.
class SynchronizeWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kSection = QStringLiteral("Synchronize");

    SynchronizeWindow(SyncProcedures& procedures, IniStore& positions, QWidget* parent = nullptr);

public slots:
    void done(int result) override;

private:
    SyncProcedures& procedures_;
    IniStore& positions_;
};

// Opens "Synchronize" over `parent` with the platform's file dialogs;
// `fileName` is the program-wide name of the synchronization file;
// `watchedEntriesChanged` learns of a receiving user whose watched entries changed.
void runSynchronize(ProgramServices& services, QString& fileName, QWidget* parent,
                    const std::function<void(const QString& userName)>& watchedEntriesChanged = {});

} // namespace ql
