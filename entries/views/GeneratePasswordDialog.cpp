#include "entries/views/GeneratePasswordDialog.h"
#include "entries/PasswordTypes.h"
#include "entries/StoreUserDefaults.h"
#include "entries/StoreWordSource.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "platform/random/SodiumRandom.h"
#include "store/ConfigurationSettings.h"
#include "store/StartUp.h"
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace ql {

namespace {

struct Choice {
    const char* label;
    const QString& value;
    const char* objectName;
};

// Adds one option button per choice; the group's buttons carry their values.
QGroupBox* optionGroup(const QString& title, const std::vector<Choice>& choices,
                       QButtonGroup* group) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    for (const Choice& choice : choices) {
        auto* button = new QRadioButton(QLatin1String(choice.label));
        button->setObjectName(QLatin1String(choice.objectName));
        button->setProperty("value", choice.value);
        group->addButton(button);
        layout->addWidget(button);
    }
    return box;
}

void checkValue(QButtonGroup* group, const QString& value) {
    for (QAbstractButton* button : group->buttons())
        if (button->property("value").toString() == value) button->setChecked(true);
}

QPushButton* addButton(QDialogButtonBox* box, const char* text, const char* name,
                       QDialogButtonBox::ButtonRole role) {
    QPushButton* button = box->addButton(QLatin1String(text), role);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

GeneratePasswordDialog::GeneratePasswordDialog(GeneratePassword& logic, IniStore& positions,
                                               GeneratorVariant variant, QWidget* parent)
    : QDialog(parent), logic_(logic), positions_(positions) {
    setWindowTitle(QStringLiteral("Generate Password"));
    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = addButton(buttons, "&OK", "ok", QDialogButtonBox::AcceptRole);
    if (variant == GeneratorVariant::MainProgram) {
        QPushButton* fast = addButton(buttons, "Fast Generat&e", "fast",
                                      QDialogButtonBox::ActionRole);
        connect(fast, &QPushButton::clicked, this, &GeneratePasswordDialog::pressFastGenerate);
    }
    addButton(buttons, "Cancel", "cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &GeneratePasswordDialog::pressOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* right = new QVBoxLayout;
    right->addWidget(buildSize());
    right->addWidget(buildConcatenation());
    strength_ = new QLabel;
    strength_->setObjectName(QStringLiteral("strength"));
    right->addWidget(strength_);
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildTypes());
    columns->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    ok->setDefault(true);
    showLogic();
    WidgetWindow window(*this);
    positions_.restoreWindow(kProcedure, window);
}

QGroupBox* GeneratePasswordDialog::buildTypes() {
    namespace pt = password_type;
    types_ = new QButtonGroup(this);
    QGroupBox* box = optionGroup(QStringLiteral("Password Type"),
                                 {{"Wor&d", pt::Word, "typeWord"},
                                  {"&Concatenated Words", pt::ConcatenatedWords, "typeConcatenated"},
                                  {"&Alphabet Only", pt::AlphabetOnly, "typeAlphabet"},
                                  {"Alpha&numeric", pt::Alphanumeric, "typeAlphanumeric"},
                                  {"A&ll Characters", pt::AllCharacters, "typeAll"}},
                                 types_);
    connect(types_, &QButtonGroup::buttonToggled, this, [this](QAbstractButton* b, bool on) {
        if (!on) return;
        logic_.setType(b->property("value").toString());
        applyEnabling();
    });
    return box;
}

QGroupBox* GeneratePasswordDialog::buildConcatenation() {
    namespace ct = concatenation_type;
    joiners_ = new QButtonGroup(this);
    joinerBox_ = optionGroup(QStringLiteral("Type Of Concatenation"),
                             {{"&Plus Sign", ct::PlusSign, "joinPlus"},
                              {"H&yphen", ct::Hyphen, "joinHyphen"},
                              {"&Number", ct::Number, "joinNumber"}},
                             joiners_);
    connect(joiners_, &QButtonGroup::buttonToggled, this, [this](QAbstractButton* b, bool on) {
        if (!on) return;
        logic_.setConcatenation(b->property("value").toString());
        showStrength();
    });
    return joinerBox_;
}

// A blank spin, or a number outside its range, is no size.
QWidget* GeneratePasswordDialog::buildSize() {
    size_ = new QSpinBox;
    size_->setObjectName(QStringLiteral("size"));
    size_->setRange(GeneratePassword::kSmallestSize, GeneratePassword::kLargestSize);
    // The spin reports values it accepts; its editor also reports what is typed.
    const auto readSize = [this] {
        bool number = false;
        const int value = size_->cleanText().toInt(&number);
        const bool inRange = number && value >= size_->minimum() && value <= size_->maximum();
        logic_.setSize(inRange ? value : 0);
        showStrength();
    };
    connect(size_, &QSpinBox::textChanged, this, readSize);
    connect(size_->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, readSize);
    auto* label = new QLabel(QStringLiteral("&Size:"));
    label->setBuddy(size_);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(size_);
    layout->addWidget(new QLabel(QStringLiteral("characters")));
    return row;
}

void GeneratePasswordDialog::showLogic() {
    size_->setValue(std::max(logic_.size(), GeneratePassword::kSmallestSize));
    checkValue(types_, logic_.type());
    checkValue(joiners_, logic_.concatenation());
    applyEnabling();
}

void GeneratePasswordDialog::applyEnabling() {
    size_->setEnabled(logic_.sizeEnabled());
    joinerBox_->setEnabled(logic_.concatenationEnabled());
    showStrength();
}

// What a password of the chosen kind is worth, before the user takes one.
void GeneratePasswordDialog::showStrength() {
    if (!strength_) return;
    const std::optional<PasswordStrength> strength = logic_.offeredStrength(sampleRandom_);
    strength_->setText(strength ? QStringLiteral("Strength: ") + strengthText(strength->score)
                                : QString());
    strength_->setToolTip(strength ? QStringLiteral("About 10^%1 guesses").arg(strength->guessesLog10, 0, 'f', 1)
                                   : QString());
}

void GeneratePasswordDialog::pressOk() {
    switch (logic_.ok()) {
    case GeneratorFocus::Size: size_->setFocus(); return;
    case GeneratorFocus::Type: {
        QAbstractButton* button = types_->checkedButton();
        (button ? button : types_->buttons().front())->setFocus();
        return;
    }
    case GeneratorFocus::None: accept(); return;
    }
}

void GeneratePasswordDialog::pressFastGenerate() {
    logic_.fastGenerate();
    accept();
}

void GeneratePasswordDialog::done(int result) {
    positions_.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

int runGeneratePassword(const GeneratorServices& services, IniStore& positions,
                        GeneratorVariant variant, Record& user, Record& entry, QWidget* parent) {
    GeneratePassword logic(services, user, entry);
    GeneratePasswordDialog dialog(logic, positions, variant, parent);
    return dialog.exec() == QDialog::Accepted ? 1 : 2;
}

int runGeneratePassword(ProgramServices& program, Clipboard& clipboard, Record& user,
                        Record& entry, QWidget* parent) {
    SodiumRandom random;
    StoreWordSource words;
    ConfigurationSettings settings(program.prompter());
    FileManager& users = program.managers().users;
    GeneratorServices services{random, words, settings, clipboard, program.prompter(),
                               [&users](const Record& u) { storeGeneratorDefaults(users, u); }};
    const GeneratorVariant variant = program.kind() == ProgramKind::Main
                                         ? GeneratorVariant::MainProgram
                                         : GeneratorVariant::MonitorProgram;
    return runGeneratePassword(services, program.positions(), variant, user, entry, parent);
}

} // namespace ql
