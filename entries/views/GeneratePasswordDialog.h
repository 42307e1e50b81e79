#pragma once
#include "entries/GeneratePassword.h"
#include "platform/random/SodiumRandom.h"
#include <QDialog>

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QSpinBox;

namespace ql {

class IniStore;
class ProgramServices;

// The main program's window has "Fast Generate"; the monitor program's has not.
enum class GeneratorVariant { MainProgram, MonitorProgram };

// "Generate Password": a thin view over GeneratePassword.
class GeneratePasswordDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("GeneratePassword");

    GeneratePasswordDialog(GeneratePassword& logic, IniStore& positions, GeneratorVariant variant,
                           QWidget* parent = nullptr);

public slots:
    void done(int result) override;

private:
    QGroupBox* buildTypes();
    QGroupBox* buildConcatenation();
    QWidget* buildSize();
    void showLogic();
    void applyEnabling();
    void showStrength();
    void pressOk();
    void pressFastGenerate();

    GeneratePassword& logic_;
    IniStore& positions_;
    QButtonGroup* types_ = nullptr;
    QButtonGroup* joiners_ = nullptr;
    QGroupBox* joinerBox_ = nullptr;
    QSpinBox* size_ = nullptr;
    QLabel* strength_ = nullptr;
    SodiumRandom sampleRandom_; // samples for the strength, apart from the window's own draws
};

// Runs the window over the caller's current user and entry: 1 when a password
// was written into the entry, 2 when cancelled.
int runGeneratePassword(const GeneratorServices& services, IniStore& positions,
                        GeneratorVariant variant, Record& user, Record& entry,
                        QWidget* parent = nullptr);

// The same with the program's tables and settings, the desktop clipboard given
// and the operating system's random numbers; the variant follows the program.
int runGeneratePassword(ProgramServices& program, Clipboard& clipboard, Record& user,
                        Record& entry, QWidget* parent = nullptr);

} // namespace ql
