// window_base.hpp - what every backend's window shares: the controls' states, the default button,
// the selected page, focus order, the event queue, and the rules that tie them together. A backend
// reports user actions to it and shows the state changes it asks for.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "window.hpp"

namespace ui {

// The resource name and the file name a picture name stands for: "~finish.gif" is the linked
// image FINISH_GIF, or else the file finish.gif.
struct PictureSource {
    std::string resource;
    std::string file;
};
PictureSource pictureSource(std::string_view name);

class WindowBase : public Window {
public:
    WindowBase(const WindowDefinition& definition, std::span<const Variable> variables);

    bool nextEvent(Event& event) override;
    void refreshAll() override;
    void select(int feq, int page) override;
    void hide(int feq) override;
    void unhide(int feq) override;
    void enable(int feq) override;
    void disable(int feq) override;
    void setProperty(int feq, Property property, std::string_view value) override;
    void post(EventKind kind) override;

    // The state as the program has set it.
    bool isVisible(int feq) const;  // shown: not hidden, and its page (if any) selected
    bool isEnabled(int feq) const;
    int defaultButton() const { return defaultButton_; }  // 0: none
    int selectedPage(int sheet) const;
    const std::string& picture(int feq) const { return state(feq).picture; }
    const WindowDefinition& definition() const { return definition_; }

protected:
    // The backend has built its controls: show the initial state.
    void start();

    // User actions, as the backend sees them.
    void buttonPressed(int feq);  // by mouse or mnemonic
    void enterPressed();
    void mnemonicPressed(char letter);
    void closeRequested();  // Esc or the frame's close button
    void entryEdited(int feq);
    void entryFocusLost(int feq);
    void tabPressed(bool backwards);
    std::size_t entryLimit(int feq, std::size_t length) const;
    const Variable* variableOf(int feq) const;

    // Backends show what the state asks for.
    virtual void waitForEvents() = 0;
    virtual void showVisible(int feq, bool visible) = 0;
    virtual void showEnabled(int feq, bool enabled) = 0;
    virtual void showDefault(int feq, bool isDefault) = 0;
    virtual void showPicture(int feq, const PictureSource& source) = 0;
    virtual void showText(int feq, std::string_view text) = 0;  // code-page bytes
    virtual std::string entryText(int feq) const = 0;
    virtual int focusedControl() const = 0;  // 0: none of ours
    virtual void moveFocus(int feq) = 0;

private:
    struct State {
        bool hidden = false;
        bool disabled = false;
        bool edited = false;  // an entry changed since it last stored or was refreshed
        int page = 0;         // sheets: the selected page
        std::string picture;  // images: the picture name
    };

    State& state(int feq) { return states_[static_cast<std::size_t>(feq - 1)]; }
    const State& state(int feq) const { return states_[static_cast<std::size_t>(feq - 1)]; }
    int pageNumber(int pageFeq) const;
    bool focusable(int feq) const;
    void storeFocusedEntry();
    void press(int feq);
    void showAll();
    void focusFirstOnPage(int sheet);
    void moveFocusFrom(int from, bool backwards);

    const WindowDefinition& definition_;
    std::vector<Variable> variables_;
    std::vector<State> states_;
    int defaultButton_ = 0;
    std::deque<Event> queue_;
    bool ended_ = false;
};

}  // namespace ui
