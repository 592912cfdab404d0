// window.hpp - the UI runtime as the wizard procedure sees it: open a window from its definition
// with bound variables, take its events one by one, and change its controls.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "window_definition.hpp"

namespace ui {

enum class EventKind : std::uint8_t {
    Accepted,      // a button was pressed, or an entry stored a changed text
    NewSelection,  // sheet events: a page was chosen, is about to change, is shown
    TabChanging,
    Selected,
    CloseWindow,  // Esc, the frame's close button, or posted by the program
};

struct Event {
    EventKind kind;
    int feq;  // the control concerned; 0 for the window
};

enum class Property : std::uint8_t {
    Text,     // an image's picture name
    Default,  // "1" makes a button the window's default button, "0" takes that away again
};

class Window {
public:
    virtual ~Window() = default;

    // Waits for the next event. After the close-window event has been taken, returns false: the
    // loop is over.
    virtual bool nextEvent(Event& event) = 0;

    // Every control shows its variable again.
    virtual void refreshAll() = 0;
    // Shows page `page` (1-based) of a sheet.
    virtual void select(int feq, int page) = 0;
    virtual void hide(int feq) = 0;
    virtual void unhide(int feq) = 0;
    virtual void enable(int feq) = 0;
    virtual void disable(int feq) = 0;
    virtual void setProperty(int feq, Property property, std::string_view value) = 0;
    // Queues an event behind those already waiting; never acts at once.
    virtual void post(EventKind kind) = 0;
    virtual void beep() = 0;
    virtual void close() = 0;
};

class Runtime {
public:
    virtual ~Runtime() = default;
    // The variables are bound in order: the control whose `variable` is n shows variables[n - 1].
    virtual std::unique_ptr<Window> open(const WindowDefinition& definition,
                                         std::span<const Variable> variables) = 0;
};

}  // namespace ui
