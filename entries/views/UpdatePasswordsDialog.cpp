#include "entries/views/UpdatePasswordsDialog.h"
#include "entries/views/LeaveCheck.h"
#include "entries/views/LengthValidator.h"
#include "entries/views/LimitedTextEdit.h"
#include "entries/views/RefreshingComboBox.h"
#include "entries/views/TextExchange.h"
#include "entries/views/UpdatePasswordAdvSetDialog.h"
#include "framework/IniStore.h"
#include "framework/WidgetWindow.h"
#include "keys/view/SelectKeys.h"
#include "tools/views/CalendarDialog.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

namespace ql {

namespace {
constexpr int kClipboardPollMs = 250;

void showText(QLineEdit* entry, const QString& text) {
    if (entry->text() != text) entry->setText(text);
}

// Dropped text replaces an entry's contents only when the entry can hold it.
void replaceDropped(QLineEdit* target, const QString& text) {
    QString candidate = text;
    int position = 0;
    const QValidator* validator = target->validator();
    if (!validator || validator->validate(candidate, position) != QValidator::Invalid)
        target->setText(text);
}
} // namespace

UpdatePasswordsDialog::UpdatePasswordsDialog(UpdatePasswords& logic, EntryFormVariant variant,
                                             EntryFormTools tools, QWidget* parent)
    : QDialog(parent), logic_(logic), variant_(variant), tools_(std::move(tools)),
      c_(buildEntryForm(*this, variant)) {
    setWindowTitle(logic_.windowTitle());
    fillLists();
    showRecord();
    connectGeneral();
    connectFieldButtons();
    connectSendSettings();
    if (variant_ == EntryFormVariant::MainProgram) {
        connectExpiry();
        connectFiles();
    }
    connectBottom();
    connectLengthLimits();
    if (logic_.request() == form_request::Delete) makeReadOnly();
    applyEnabling();
    c_.service->setFocus();
    WidgetWindow window(*this);
    tools_.positions.restoreWindow(kProcedure, window);
}

int UpdatePasswordsDialog::fieldOf(const char* name) const {
    return logic_.entry().fieldIndex(QLatin1String(name));
}

void UpdatePasswordsDialog::fillLists() {
    c_.sendText->addItems(logic_.sendTexts());
    c_.windowTitle->setItems(logic_.windowTitles());
}

// Puts every field of the buffer into its control.
void UpdatePasswordsDialog::showRecord() {
    const Record& e = logic_.entry();
    c_.service->setText(e.text("P_:SERVICE"));
    c_.url->setText(e.text("P_:URL"));
    c_.name->setText(e.text("P_:NAME"));
    showPasswords();
    c_.notes->setPlainText(e.text("P_:NOTES"));
    c_.moreNotes->setPlainText(e.text("P_:MORENOTES"));
    c_.sendText->setEditText(e.text("P_:PASTE"));
    c_.wait->setValue(int(e.number("P_:SECONDSTOWAIT")));
    if (c_.directSend) c_.directSend->setChecked(e.number("P_:DIRECTSEND") != 0);
    c_.windowTitle->setEditText(e.text("P_:WINDOWTITLETOLOCATE"));
    c_.monitor->setChecked(e.number("P_:MONITOR") != 0);
    c_.repeat->setValue(int(e.number("P_:DONOTREPEATSECONDS")));
    if (variant_ != EntryFormVariant::MainProgram) return;
    c_.expiryDate->setText(logic_.expiryText());
    c_.expiryInterval->setValue(int(e.number("P_:EXPIRYINTERVAL")));
    c_.program->setText(e.text("P_:FILENAME"));
    c_.storedFile->setText(e.text("P_:ENCRYPTEDFILENAME"));
    c_.lastChanged->setText(logic_.lastChangedLine());
}

void UpdatePasswordsDialog::showPasswords() {
    const QLineEdit::EchoMode echo =
        logic_.showPasswords() ? QLineEdit::Normal : QLineEdit::Password;
    for (QLineEdit* entry : {c_.password, c_.confirm}) entry->setEchoMode(echo);
    showText(c_.password, logic_.entry().text("P_:PASSWORD"));
    showText(c_.confirm, logic_.entry().text("P_:CONFIRMPASSWORD"));
}

void UpdatePasswordsDialog::connectGeneral() {
    const std::pair<QLineEdit*, const char*> lines[] = {
        {c_.service, "P_:SERVICE"}, {c_.url, "P_:URL"}, {c_.name, "P_:NAME"},
        {c_.password, "P_:PASSWORD"}, {c_.confirm, "P_:CONFIRMPASSWORD"},
        {c_.program, "P_:FILENAME"}, {c_.storedFile, "P_:ENCRYPTEDFILENAME"}};
    for (const auto& [entry, name] : lines) {
        if (!entry) continue;
        const int field = fieldOf(name);
        connect(entry, &QLineEdit::textChanged, this, [this, field](const QString& text) {
            logic_.setText(field, text);
            applyEnabling();
        });
    }
    for (LimitedTextEdit* notes : {c_.notes, c_.moreNotes}) {
        const int field = fieldOf(notes == c_.notes ? "P_:NOTES" : "P_:MORENOTES");
        connect(notes, &QPlainTextEdit::textChanged, this,
                [this, notes, field] { logic_.setText(field, notes->toPlainText()); });
    }
    c_.generate->setEnabled(bool(tools_.generate));
    connect(c_.generate, &QPushButton::clicked, this, [this] {
        if (tools_.generate && tools_.generate(logic_.entry(), this)) showPasswords();
    });
    auto* exchange = new TextExchange(replaceDropped, this);
    for (QLineEdit* entry : {c_.service, c_.url, c_.name, c_.program,
                             c_.sendText->lineEdit(), c_.windowTitle->lineEdit()})
        if (entry) exchange->mark(entry);
}

void UpdatePasswordsDialog::connectFieldButtons() {
    for (const FieldButtons& pair : c_.fieldButtons) {
        const int field = fieldOf(qPrintable(pair.field));
        connect(pair.paste, &QPushButton::clicked, this, [this, field, entry = pair.entry] {
            if (!logic_.paste(field)) return;
            const QString text = logic_.entry().text(field);
            if (auto* line = qobject_cast<QLineEdit*>(entry)) line->setText(text);
            else static_cast<QPlainTextEdit*>(entry)->setPlainText(text);
        });
        connect(pair.copy, &QPushButton::clicked, this, [this, field] { logic_.copy(field); });
        // Tab goes from a field straight to the next one.
        if (logic_.skipFieldButtons()) {
            pair.paste->setFocusPolicy(Qt::NoFocus);
            pair.copy->setFocusPolicy(Qt::NoFocus);
        }
    }
}

void UpdatePasswordsDialog::connectSendSettings() {
    // The edit text follows a chosen item before `activated` comes, so a
    // chosen text that does not fit is taken back there.
    connect(c_.sendText, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (text.size() <= logic_.entry().def().fields[size_t(fieldOf("P_:PASTE"))].width)
            logic_.setText(fieldOf("P_:PASTE"), text);
        applyEnabling();
    });
    connect(c_.sendText, &QComboBox::activated, this, [this](int index) {
        if (!logic_.acceptChosenSendText(c_.sendText->itemText(index)))
            c_.sendText->setEditText(logic_.entry().text("P_:PASTE"));
    });
    connect(c_.windowTitle, &QComboBox::activated, this, [this](int index) {
        c_.windowTitle->setEditText(logic_.patternForTitle(c_.windowTitle->itemText(index)));
    });
    connect(c_.wait, &QSpinBox::textChanged, this,
            [this] { logic_.setWaitText(c_.wait->cleanText()); });
    new LeaveCheck(c_.wait, [this] { return logic_.acceptWait(); });
    connect(c_.windowTitle, &QComboBox::editTextChanged, this, [this](const QString& text) {
        logic_.setText(fieldOf("P_:WINDOWTITLETOLOCATE"), text);
        applyEnabling();
    });
    c_.windowTitle->beforePopup = [this] { refreshTitles(); };
    new LeaveCheck(c_.windowTitle, [this] { return logic_.acceptWindowTitle(); });
    connect(c_.monitor, &QCheckBox::toggled, this, [this](bool on) {
        logic_.entry().setNumber("P_:MONITOR", on ? 1 : 0);
        applyEnabling();
    });
    connect(c_.repeat, &QSpinBox::valueChanged, this,
            [this](int value) { logic_.entry().setNumber("P_:DONOTREPEATSECONDS", value); });
    if (c_.directSend)
        connect(c_.directSend, &QCheckBox::toggled, this,
                [this](bool on) { logic_.entry().setNumber("P_:DIRECTSEND", on ? 1 : 0); });
    connect(c_.advanced, &QPushButton::clicked, this, &UpdatePasswordsDialog::openAdvanced);
    connect(c_.tip, &QPushButton::clicked, this, [this] { logic_.tip(); });
    if (c_.listKeys)
        connect(c_.listKeys, &QPushButton::clicked, this,
                [this] { SelectKeys(this, &tools_.positions); });
    if (c_.addToDefaults)
        connect(c_.addToDefaults, &QPushButton::clicked, this, &UpdatePasswordsDialog::addToDefaults);
}

void UpdatePasswordsDialog::connectExpiry() {
    connect(c_.selectExpiry, &QPushButton::clicked, this, &UpdatePasswordsDialog::selectExpiry);
    new LeaveCheck(c_.expiryDate, [this] { return acceptExpiry(); });
    connect(c_.expiryInterval, &QSpinBox::valueChanged, this,
            [this](int value) { logic_.entry().setNumber("P_:EXPIRYINTERVAL", value); });
}

void UpdatePasswordsDialog::connectFiles() {
    connect(c_.selectProgram, &QPushButton::clicked, this, [this] {
        logic_.selectProgram();
        c_.program->setText(logic_.entry().text("P_:FILENAME"));
    });
    connect(c_.testProgram, &QPushButton::clicked, this, &UpdatePasswordsDialog::testProgram);
    connect(c_.encrypt, &QPushButton::clicked, this, [this] {
        logic_.encryptFile();
        c_.storedFile->setText(logic_.entry().text("P_:ENCRYPTEDFILENAME"));
    });
    connect(c_.saveToDisk, &QPushButton::clicked, this, [this] { logic_.saveToDisk(); });
}

// Text typed, pasted or dropped past a field's size is refused with the same
// words as the Paste buttons use, titled by the field's name.
void UpdatePasswordsDialog::connectLengthLimits() {
    for (QLineEdit* entry : findChildren<QLineEdit*>()) {
        auto* limit = dynamic_cast<const LengthValidator*>(entry->validator());
        if (!limit) continue;
        const QString title = entry->accessibleName();
        const_cast<LengthValidator*>(limit)->onRefused([this, title](qsizetype length, int width) {
            logic_.refuseTooLong(length, width, title);
        });
    }
    for (LimitedTextEdit* notes : findChildren<LimitedTextEdit*>()) {
        const QString title = notes->accessibleName();
        notes->onRefused([this, title](qsizetype length, int width) {
            logic_.refuseTooLong(length, width, title);
        });
    }
}

void UpdatePasswordsDialog::connectBottom() {
    if (c_.clipboard) {
        connect(c_.clipboard, &QLineEdit::editingFinished, this,
                [this] { logic_.putClipboardDisplay(c_.clipboard->text()); });
        clipboardTimer_ = new QTimer(this);
        connect(clipboardTimer_, &QTimer::timeout, this, &UpdatePasswordsDialog::refreshClipboard);
        clipboardTimer_->start(kClipboardPollMs);
        refreshClipboard();
    }
    // OK and Cancel take no focus from a click, so leaving a field for them
    // runs no field check twice, and Cancel always works.
    c_.ok->setFocusPolicy(Qt::TabFocus);
    c_.cancel->setFocusPolicy(Qt::TabFocus);
    c_.ok->setDefault(true);
    connect(c_.ok, &QPushButton::clicked, this, &UpdatePasswordsDialog::pressOk);
    connect(c_.cancel, &QPushButton::clicked, this, &UpdatePasswordsDialog::reject);
}

void UpdatePasswordsDialog::applyEnabling() {
    if (c_.clipboard) {
        c_.clipboard->setVisible(!logic_.hideClipboard());
        c_.clipboardLabel->setVisible(!logic_.hideClipboard());
    }
    if (logic_.request() == form_request::Delete) return; // see makeReadOnly()
    c_.advanced->setEnabled(logic_.advancedEnabled());
    const bool repeat = logic_.repeatEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{c_.repeat, c_.repeatLabel, c_.repeatText, c_.tip})
        w->setEnabled(repeat);
    if (c_.addToDefaults) c_.addToDefaults->setEnabled(logic_.addToDefaultsEnabled());
}

void UpdatePasswordsDialog::refreshTitles() {
    logic_.refreshWindowTitles();
    c_.windowTitle->setItems(logic_.windowTitles());
}

// A live copy of the clipboard, left alone while the user is in the display.
void UpdatePasswordsDialog::refreshClipboard() {
    if (!c_.clipboard || c_.clipboard->hasFocus()) return;
    if (const std::optional<QString> text = logic_.changedClipboardDisplay())
        c_.clipboard->setText(*text);
}

bool UpdatePasswordsDialog::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        refreshTitles();
        applyEnabling();
    }
    return QDialog::event(event);
}

void UpdatePasswordsDialog::addToDefaults() {
    switch (logic_.addToDefaults()) {
    case UpdatePasswords::AddResult::Failed: c_.sendText->setFocus(); break;
    case UpdatePasswords::AddResult::Added:
        c_.sendText->addItem(logic_.sendTexts().back());
        break;
    default: break;
    }
}

void UpdatePasswordsDialog::openAdvanced() {
    runUpdatePasswordAdvSet(logic_.entry(), variant_, tools_.positions, this);
    if (c_.directSend) c_.directSend->setChecked(logic_.entry().number("P_:DIRECTSEND") != 0);
}

void UpdatePasswordsDialog::selectExpiry() {
    const int32_t chosen =
        runCalendar(tools_.clock, tools_.prompter, tools_.positions,
                    int32_t(logic_.entry().number("P_:EXPIRYDATE")),
                    QStringLiteral("Select Expiry Date"), this);
    logic_.entry().setNumber("P_:EXPIRYDATE", chosen);
    c_.expiryDate->setText(logic_.expiryText());
}

// A typed date that is no date is refused with a beep; the stored one is shown again.
bool UpdatePasswordsDialog::acceptExpiry() {
    if (!c_.expiryDate || c_.expiryDate->isReadOnly()) return true;
    const bool accepted = logic_.setExpiryText(c_.expiryDate->text());
    if (!accepted) QApplication::beep();
    c_.expiryDate->setText(logic_.expiryText());
    return accepted;
}

void UpdatePasswordsDialog::testProgram() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    logic_.testProgram();
    QApplication::restoreOverrideCursor();
}

void UpdatePasswordsDialog::pressOk() {
    if (c_.expiryDate && c_.expiryDate->isModified() && !acceptExpiry()) {
        focusOn(c_.expiryDate);
        return;
    }
    const EntryControl focus = logic_.ok();
    if (focus == EntryControl::None) {
        accept();
        return;
    }
    focusOn(focus);
}

void UpdatePasswordsDialog::focusOn(EntryControl control) {
    switch (control) {
    case EntryControl::Service: focusOn(c_.service); break;
    case EntryControl::Name: focusOn(c_.name); break;
    case EntryControl::Password: focusOn(c_.password); break;
    case EntryControl::SendText: focusOn(c_.sendText); break;
    case EntryControl::Wait: focusOn(c_.wait); break;
    case EntryControl::WindowTitle: focusOn(c_.windowTitle); break;
    default: c_.ok->setFocus(); break;
    }
}

void UpdatePasswordsDialog::focusOn(QWidget* control) {
    for (int i = 0; i < c_.pages->count(); ++i)
        if (c_.pages->widget(i)->isAncestorOf(control)) c_.pages->setCurrentIndex(i);
    control->setFocus();
}

// A delete shows the entry for confirmation: nothing on the pages can change it.
void UpdatePasswordsDialog::makeReadOnly() {
    for (QLineEdit* entry : c_.pages->findChildren<QLineEdit*>()) entry->setReadOnly(true);
    for (LimitedTextEdit* notes : {c_.notes, c_.moreNotes}) notes->setReadOnly(true);
    for (QAbstractButton* b : c_.pages->findChildren<QAbstractButton*>()) b->setEnabled(false);
    for (QAbstractSpinBox* spin : c_.pages->findChildren<QAbstractSpinBox*>())
        spin->setReadOnly(true);
    for (QComboBox* combo : c_.pages->findChildren<QComboBox*>()) combo->setEnabled(false);
}

void UpdatePasswordsDialog::reject() {
    logic_.cancel();
    QDialog::reject();
}

void UpdatePasswordsDialog::done(int result) {
    if (clipboardTimer_) clipboardTimer_->stop();
    tools_.positions.saveWindow(kProcedure, WidgetWindow(*this));
    QDialog::done(result);
}

} // namespace ql
