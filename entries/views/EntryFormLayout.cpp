#include "entries/views/EntryFormLayout.h"
#include "entries/views/LengthValidator.h"
#include "entries/views/LimitedTextEdit.h"
#include "entries/views/RefreshingComboBox.h"
#include "entries/views/WaitSpinBox.h"
#include "store/Layouts.h"
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace ql {

namespace {

int widthOf(const char* field) {
    const TableDef& def = passwordsTable();
    return def.fields[size_t(def.fieldIndex(QLatin1String(field)))].width;
}

template <typename W>
W* named(W* widget, const char* name, const QString& tip = {}) {
    widget->setObjectName(QLatin1String(name));
    if (!tip.isEmpty()) {
        widget->setToolTip(tip);
        widget->setAccessibleDescription(tip);
    }
    return widget;
}

QPushButton* button(const char* text, const char* name, const QString& tip = {}) {
    return named(new QPushButton(QLatin1String(text)), name, tip);
}

QLineEdit* lineEntry(const char* field, const char* name, const QString& tip = {}) {
    auto* entry = named(new QLineEdit, name, tip);
    entry->setValidator(new LengthValidator(widthOf(field), entry));
    return entry;
}

QLabel* buddyLabel(const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(text));
    label->setBuddy(buddy);
    if (buddy->accessibleName().isEmpty())
        buddy->setAccessibleName(QString::fromUtf8(text).remove(u'&').remove(u'*').remove(u':'));
    return label;
}

QLabel* wrapped(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

// The Paste and Copy buttons of a field: "Paste More Notes" is named pasteMoreNotes.
FieldButtons fieldButtons(const char* field, QWidget* entry, const char* word) {
    const QString w = QLatin1String(word);
    const QString id = QString(w).remove(u' ');
    auto* paste = new QPushButton(QStringLiteral("Paste"));
    auto* copy = new QPushButton(QStringLiteral("Copy"));
    paste->setObjectName(QStringLiteral("paste") + id);
    copy->setObjectName(QStringLiteral("copy") + id);
    paste->setToolTip(QStringLiteral("Paste ") + w);
    copy->setToolTip(QStringLiteral("Copy ") + w);
    paste->setAccessibleName(paste->toolTip());
    copy->setAccessibleName(copy->toolTip());
    return {QLatin1String(field), entry, paste, copy};
}

// One row of the General page: label, entry and, in the main program, the
// field's Paste and Copy buttons.
class GeneralRows {
public:
    GeneralRows(QGridLayout* grid, EntryFormControls& c, bool withButtons)
        : grid_(grid), c_(c), withButtons_(withButtons) {}

    QLineEdit* add(const char* label, const char* field, const char* name, const QString& tip,
                   const char* buttonWord) {
        QLineEdit* entry = lineEntry(field, name, tip);
        grid_->addWidget(buddyLabel(label, entry), row_, 0);
        grid_->addWidget(entry, row_, 1);
        if (withButtons_ && buttonWord) addButtons(field, entry, buttonWord);
        ++row_;
        return entry;
    }

private:
    void addButtons(const char* field, QWidget* entry, const char* word) {
        FieldButtons buttons = fieldButtons(field, entry, word);
        grid_->addWidget(buttons.paste, row_, 2);
        grid_->addWidget(buttons.copy, row_, 3);
        c_.fieldButtons.push_back(buttons);
    }

    QGridLayout* grid_;
    EntryFormControls& c_;
    bool withButtons_;
    int row_ = 0;
};

QWidget* generalPage(EntryFormControls& c, bool main) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    GeneralRows rows(grid, c, main);
    c.service = rows.add("&Service*:", "P_:SERVICE", "service", {}, "Service");
    c.url = rows.add("&URL:", "P_:URL", "url", QStringLiteral("Internet Address"), "URL");
    c.name = rows.add("&Name*:", "P_:NAME", "name", QStringLiteral("Name used on this service"),
                      "Name");
    c.password = rows.add("&Password:", "P_:PASSWORD", "password", {}, "Password");
    c.confirm = rows.add(main ? "&Confirm Password:" : "&Confirm:", "P_:CONFIRMPASSWORD",
                         "confirm", QStringLiteral("Confirmation Password"), nullptr);
    c.generate = button(main ? "Gener&ate New Password" : "Gener&ate", "generate");
    grid->addWidget(c.generate, grid->rowCount(), 1, Qt::AlignLeft);
    grid->setRowStretch(grid->rowCount(), 1);
    return page;
}

QWidget* notesPage(EntryFormControls& c, const char* label, const char* field, const char* name,
                   const char* word) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* notes = named(new LimitedTextEdit(widthOf(field)), name);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(buddyLabel(label, notes));
    buttons->addStretch();
    const FieldButtons pair = fieldButtons(field, notes, word);
    buttons->addWidget(pair.paste);
    buttons->addWidget(pair.copy);
    layout->addLayout(buttons);
    layout->addWidget(notes);
    c.fieldButtons.push_back(pair);
    (QLatin1String(field) == QLatin1String("P_:NOTES") ? c.notes : c.moreNotes) = notes;
    return page;
}

void addSendTextRows(QGridLayout* grid, EntryFormControls& c, bool main) {
    c.sendText = named(new QComboBox, "sendText");
    c.sendText->setEditable(true);
    c.sendText->setInsertPolicy(QComboBox::NoInsert);
    c.sendText->lineEdit()->setValidator(new LengthValidator(widthOf("P_:PASTE"), c.sendText));
    grid->addWidget(buddyLabel(main ? "&Text/Keys to Send:" : "Keys to Send:", c.sendText), 0, 0);
    grid->addWidget(c.sendText, 0, 1, 1, 3);
    if (main) {
        c.listKeys = button("List All Keys", "listKeys");
        c.addToDefaults = button("Add to Defaults", "addToDefaults");
        auto* row = new QHBoxLayout;
        row->addWidget(c.listKeys);
        row->addWidget(c.addToDefaults);
        row->addStretch();
        grid->addLayout(row, 1, 1, 1, 3);
    }
    c.wait = named(new WaitSpinBox(99), "wait");
    grid->addWidget(buddyLabel(main ? "Wait Before &Sending:" : "Wait Before &Send:", c.wait), 2, 0);
    grid->addWidget(c.wait, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("seconds")), 2, 2);
    if (main) {
        c.directSend = named(new QCheckBox(QStringLiteral("Direct Send")), "directSend",
                             QStringLiteral("Send directly to other application"));
        grid->addWidget(c.directSend, 2, 3);
    }
}

void addWindowRows(QGridLayout* grid, EntryFormControls& c, bool main) {
    c.windowTitle = named(new RefreshingComboBox, "windowTitle");
    c.windowTitle->lineEdit()->setValidator(
        new LengthValidator(widthOf("P_:WINDOWTITLETOLOCATE"), c.windowTitle));
    c.windowTitle->setMinimumContentsLength(40);
    c.windowTitle->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    grid->addWidget(buddyLabel(main ? "&Locate Window Title:" : "&Locate Window:", c.windowTitle),
                    3, 0);
    grid->addWidget(c.windowTitle, 3, 1, 1, 2);
    c.advanced = button("Advanced", "advanced");
    grid->addWidget(c.advanced, 3, 3);
    c.monitor = named(new QCheckBox(QStringLiteral("Monito&r")), "monitor");
    grid->addWidget(c.monitor, 4, 1);
    c.repeat = named(new QSpinBox, "repeat");
    c.repeat->setRange(0, 999);
    c.repeatLabel = buddyLabel("Monitor interval:", c.repeat);
    grid->addWidget(c.repeatLabel, 5, 0);
    grid->addWidget(c.repeat, 5, 1);
    c.repeatText = new QLabel(main ? QStringLiteral("Enter 0 to disable after first find.")
                                   : QStringLiteral("0=disable after found"));
    grid->addWidget(c.repeatText, 5, 2);
    c.tip = button("Tip", "tip");
    grid->addWidget(c.tip, 5, 3);
}

QWidget* sendPage(EntryFormControls& c, bool main) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    addSendTextRows(grid, c, main);
    addWindowRows(grid, c, main);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(6, 1);
    return page;
}

QWidget* expiryPage(EntryFormControls& c) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    c.expiryDate = named(new QLineEdit, "expiryDate");
    c.selectExpiry = button("Select", "selectExpiry", QStringLiteral("Select Date"));
    grid->addWidget(buddyLabel("Expiry Date:", c.expiryDate), 0, 0);
    grid->addWidget(c.expiryDate, 0, 1);
    grid->addWidget(c.selectExpiry, 0, 2);
    c.expiryInterval = named(new QSpinBox, "expiryInterval", QStringLiteral("Expire every n days"));
    c.expiryInterval->setRange(0, 999);
    grid->addWidget(buddyLabel("Expiry Interval (Days):", c.expiryInterval), 1, 0);
    grid->addWidget(c.expiryInterval, 1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* filesPage(EntryFormControls& c) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(wrapped(QStringLiteral("When you press \"Send\" on \"Browse Passwords\", you "
                                           "can optionally start a program or document.")),
                    0, 0, 1, 4);
    c.program = lineEntry("P_:FILENAME", "program");
    c.selectProgram = button("Select", "selectProgram");
    c.testProgram = button("Test", "testProgram");
    grid->addWidget(buddyLabel("Program/document:", c.program), 1, 0);
    grid->addWidget(c.program, 1, 1);
    grid->addWidget(c.selectProgram, 1, 2);
    grid->addWidget(c.testProgram, 1, 3);
    grid->addWidget(wrapped(QStringLiteral("You can encrypt a small (64 KiB or less) file to be "
                                           "stored with this entry.")),
                    2, 0, 1, 4);
    c.storedFile = lineEntry("P_:ENCRYPTEDFILENAME", "storedFile", QStringLiteral("Encrypted File"));
    c.encrypt = button("Encrypt", "encrypt");
    c.saveToDisk = button("Save to Disk", "saveToDisk");
    grid->addWidget(buddyLabel("File:", c.storedFile), 3, 0);
    grid->addWidget(c.storedFile, 3, 1);
    grid->addWidget(c.encrypt, 3, 2);
    grid->addWidget(c.saveToDisk, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    return page;
}

QLayout* bottomRows(EntryFormControls& c, bool main) {
    auto* layout = new QVBoxLayout;
    if (main) {
        auto* clip = new QHBoxLayout;
        c.clipboard = named(new QLineEdit, "clipboard");
        c.clipboard->setValidator(new LengthValidator(90, c.clipboard));
        c.clipboardLabel = buddyLabel("Clipboard Contents:", c.clipboard);
        clip->addWidget(c.clipboardLabel);
        clip->addWidget(c.clipboard, 1);
        layout->addLayout(clip);
    }
    auto* buttons = new QHBoxLayout;
    if (main) {
        c.lastChanged = named(new QLabel, "lastChanged");
        buttons->addWidget(c.lastChanged);
    }
    buttons->addStretch();
    c.ok = button("&OK", "ok");
    c.cancel = button("Cancel", "cancel");
    buttons->addWidget(c.ok);
    buttons->addWidget(c.cancel);
    layout->addLayout(buttons);
    return layout;
}

} // namespace

EntryFormControls buildEntryForm(QDialog& dialog, EntryFormVariant variant) {
    const bool main = variant == EntryFormVariant::MainProgram;
    EntryFormControls c;
    c.pages = named(new QTabWidget, "pages");
    c.pages->addTab(generalPage(c, main), QStringLiteral("General"));
    c.pages->addTab(notesPage(c, "&Notes:", "P_:NOTES", "notes", "Notes"), QStringLiteral("Notes"));
    c.pages->addTab(notesPage(c, "&More Notes:", "P_:MORENOTES", "moreNotes", "More Notes"),
                    QStringLiteral("More Notes"));
    c.pages->addTab(sendPage(c, main), QStringLiteral("Settings for Send"));
    if (main) {
        c.pages->addTab(expiryPage(c), QStringLiteral("Expiry"));
        c.pages->addTab(filesPage(c), QStringLiteral("Files"));
    }
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(c.pages, 1);
    layout->addLayout(bottomRows(c, main));
    return c;
}

} // namespace ql
