#pragma once
#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace ql {

class IniStore;

// "List All Keys": a read-only viewer of the key list file.
class KeyListDialog : public QDialog {
public:
    explicit KeyListDialog(QWidget* parent = nullptr);

    // False when the file cannot be read.
    bool load(const QString& path);
    // Selects the next occurrence of `text` (case-insensitive), wrapping to the
    // start once; false when there is none.
    bool findNext(const QString& text);
    QString selectedText() const;

    QPushButton* searchButton() const { return search_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* closeButton() const { return close_; }
    QPlainTextEdit* view() const { return text_; }

private:
    QPlainTextEdit* text_;
    QPushButton* search_;
    QPushButton* print_;
    QPushButton* close_;
    QString lastSearch_;

    void askAndSearch();
    void printList();
};

// The key list shipped with the programs.
QString defaultKeyListPath();

// Shows the key list modally, its place kept under "SelectKeys" in `positions`
// (may be null). When the file cannot be opened nothing is shown; returns false.
bool SelectKeys(QWidget* parent, IniStore* positions, const QString& path = defaultKeyListPath());

} // namespace ql
