// qt_session.hpp - runs the real wizard procedure on the Qt runtime while a script of user actions
// plays: each step runs when the window waits for events, and a step may wait for a condition.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/qt/qt_runtime.hpp"
#include "wizard_procedure.hpp"

namespace plinthor::testing {

inline const QString kTitle = QStringLiteral("Veridane - Template Generation Wizard");

inline QWidget* wizardFrame() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == kTitle) return w;
    return nullptr;
}

template <typename T = QWidget>
T* control(const char* name) {
    QWidget* frame = wizardFrame();
    return frame ? frame->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// The control that has the keyboard focus in the wizard's window.
inline QWidget* focused() {
    QWidget* frame = wizardFrame();
    return frame ? frame->focusWidget() : nullptr;
}

inline void sendKey(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(to, &release);
}

// Types text into the focused control, one key per character, as a keyboard would.
inline void typeText(const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (const QChar c : text) {
        const int key =
            c.isLetter() && c.unicode() < 128 ? Qt::Key_A + (c.toUpper().unicode() - 'A') : Qt::Key_unknown;
        sendKey(focused(), key, c.isUpper() ? modifiers | Qt::ShiftModifier : modifiers, QString(c));
    }
}

// One user action or check; returns false to be tried again on a later turn of the event loop.
using Step = std::function<bool()>;

inline Step act(std::function<void()> f) {
    return [f = std::move(f)] {
        f();
        return true;
    };
}
inline Step key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    return act([k, m] { sendKey(focused(), k, m); });
}
inline Step type(QString text) {
    return act([text] { typeText(text); });
}
inline Step until(std::function<bool()> condition) {
    return condition;
}
// Lets the event loop run for a while: for what should not happen, or happens late.
inline Step pause(int ms) {
    auto clock = std::make_shared<QElapsedTimer>();
    return [clock, ms] {
        if (!clock->isValid()) clock->start();
        return clock->elapsed() >= ms;
    };
}
inline Step pageShows(const char* stringOnPage) {
    return until([stringOnPage] {
        const QWidget* w = control(stringOnPage);
        return w && w->isVisible();
    });
}

struct Session {
    int beeps = 0;
    bool timedOut = false;
    std::optional<QFont> baseFont;

    // Runs the wizard to its end; returns its exit status.
    int play(std::deque<Step> steps, Generate generate) {
        ui::qt::QtRuntime runtime([this] { ++beeps; }, baseFont);
        steps.push_front(
            until([] { return wizardFrame() && QApplication::activeWindow() == wizardFrame(); }));
        script_ = std::move(steps);
        clock_.start();
        QTimer::singleShot(0, &guard_, [this] { tick(); });
        const int status = runWizard(runtime, generate);
        script_.clear();
        return status;
    }

private:
    // Plays the next step, and watches the clock as long as the window is open.
    void tick() {
        if (!wizardFrame() && script_.empty()) return;
        if (clock_.elapsed() > 20000) {
            // A step that never comes true, or a window that never closes: close it, and let the
            // test fail on timedOut.
            timedOut = true;
            script_.clear();
            if (QWidget* frame = wizardFrame()) sendKey(frame, Qt::Key_Escape);
            return;
        }
        if (!script_.empty() && script_.front()()) script_.pop_front();
        QTimer::singleShot(2, &guard_, [this] { tick(); });
    }

    std::deque<Step> script_;
    QElapsedTimer clock_;
    QObject guard_;  // its timers go with the session
};

}  // namespace plinthor::testing
