#pragma once
#include "platform/core/Clock.h"
#include "platform/core/Keyboard.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <set>
#include <vector>

namespace ql {

// Test keyboard that records what it was asked to do.
//  typed():  a readable transcript: characters as themselves, key presses as
//            [Name] with held modifiers ([Ctrl+Shift+C]), clicks as [MouseLeft]
//            or [MouseLeft2]; pauses are not shown.
//  events:   every call in order, e.g. "down Shift", "char A", "char a shift",
//            "up Tab", "click 1x2", each stamped with the clock time if a clock is set.
class FakeKeyboard : public Keyboard {
public:
    struct Event {
        QString text;
        int32_t time = 0;
    };

    bool capsLock = false;
    bool present = true; // what available() says
    bool allowed = true; // what prepareSend() says
    int sendsPrepared = 0;
    const Clock* clock = nullptr;
    // Runs after every recorded call (tests move the focus from here).
    std::function<void()> afterEach;
    // Characters the layout cannot produce.
    std::set<char32_t> untypable;
    // Whether the user holds a modifier right now (asked before each item).
    std::function<bool()> userHolds;
    int releaseAlls = 0;
    std::vector<Event> events;
    // Each line the send path announced, with how many events came before it.
    std::vector<std::pair<QString, size_t>> preparedLines;

    QString typed() const { return transcript_; }
    QStringList eventTexts() const {
        QStringList out;
        for (const Event& e : events) out << e.text;
        return out;
    }
    // Clock times of the events whose text equals `text`.
    std::vector<int32_t> timesOf(const QString& text) const {
        std::vector<int32_t> out;
        for (const Event& e : events)
            if (e.text == text) out.push_back(e.time);
        return out;
    }

    static QString keyName(int vk) {
        static const std::pair<int, const char*> names[] = {
            {8, "Backspace"}, {9, "Tab"}, {13, "Enter"}, {16, "Shift"}, {17, "Ctrl"},
            {18, "Alt"}, {19, "Pause"}, {20, "CapsLock"}, {27, "Esc"}, {32, "Space"},
            {33, "PgUp"}, {34, "PgDn"}, {35, "End"}, {36, "Home"}, {37, "Left"},
            {38, "Up"}, {39, "Right"}, {40, "Down"}, {44, "Print"}, {45, "Insert"},
            {46, "Delete"}, {106, "Ast"}, {107, "Plus"}, {109, "Minus"},
            {110, "Decimal"}, {111, "Slash"}};
        for (const auto& [code, name] : names)
            if (code == vk) return QString::fromLatin1(name);
        if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return QString(QChar(vk));
        if (vk >= 96 && vk <= 105) return QStringLiteral("Pad%1").arg(vk - 96);
        if (vk >= 112 && vk <= 123) return QStringLiteral("F%1").arg(vk - 111);
        return QStringLiteral("VK%1").arg(vk);
    }

    bool available() const override { return present; }
    bool prepareSend() override {
        ++sendsPrepared;
        return allowed;
    }
    void prepareLine(const QString& line) override { preparedLines.emplace_back(line, events.size()); }
    void keyDown(int vk) override {
        record(QStringLiteral("down ") + keyName(vk));
        if (isModifier(vk)) held_[vk - 16] = true;
        else transcript_ += QLatin1Char('[') + heldPrefix() + keyName(vk) + QLatin1Char(']');
        after();
    }
    void keyUp(int vk) override {
        record(QStringLiteral("up ") + keyName(vk));
        if (isModifier(vk)) held_[vk - 16] = false;
        after();
    }
    bool typeCharacter(char32_t ch, bool shift) override {
        if (untypable.count(ch)) return false;
        QString c = QString::fromUcs4(&ch, 1);
        record(QStringLiteral("char ") + c + (shift ? QStringLiteral(" shift") : QString()));
        transcript_ += c;
        after();
        return true;
    }
    bool capsLockOn() override { return capsLock; }
    bool modifiersHeld() override { return userHolds && userHolds(); }
    void releaseAll() override {
        ++releaseAlls;
        for (int i = 0; i < 3; ++i)
            if (held_[i]) keyUp(16 + i);
    }
    // Modifier keys pressed and not released, as "Shift", "Ctrl", "Alt".
    QStringList keysDown() const {
        QStringList out;
        for (int i = 0; i < 3; ++i)
            if (held_[i]) out << keyName(16 + i);
        return out;
    }
    void click(int button, int clicks) override {
        record(QStringLiteral("click %1x%2").arg(button).arg(clicks));
        static const char* buttons[] = {"", "MouseLeft", "MouseRight", "MouseCenter"};
        transcript_ += QLatin1Char('[') + heldPrefix() +
                       QLatin1String(buttons[button >= 1 && button <= 3 ? button : 0]) +
                       (clicks == 2 ? QStringLiteral("2") : QString()) + QLatin1Char(']');
        after();
    }

private:
    QString transcript_;
    bool held_[3] = {false, false, false}; // Shift, Ctrl, Alt

    static bool isModifier(int vk) { return vk >= 16 && vk <= 18; }
    QString heldPrefix() const {
        QString p;
        if (held_[1]) p += QStringLiteral("Ctrl+");
        if (held_[0]) p += QStringLiteral("Shift+");
        if (held_[2]) p += QStringLiteral("Alt+");
        return p;
    }
    void record(const QString& text) { events.push_back({text, clock ? clock->now() : 0}); }
    void after() {
        if (afterEach) afterEach();
    }
};

} // namespace ql
