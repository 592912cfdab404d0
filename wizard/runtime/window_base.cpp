// window_base.cpp - the state and rules every backend's window shares.
#include "window_base.hpp"

#include <algorithm>
#include <cctype>

#include "entry_rules.hpp"

namespace ui {

PictureSource pictureSource(std::string_view name) {
    const std::string_view file = name.starts_with('~') ? name.substr(1) : name;
    std::string resource(file);
    for (char& c : resource)
        c = c == '.' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {std::move(resource), std::string(file)};
}

WindowBase::WindowBase(const WindowDefinition& definition, std::span<const Variable> variables)
    : definition_(definition),
      variables_(variables.begin(), variables.end()),
      states_(definition.controls.size()) {
    for (const Control& c : definition.controls) {
        State& s = state(c.feq);
        s.hidden = (c.attributes & kHidden) != 0;
        s.disabled = (c.attributes & kDisabled) != 0;
        if (c.kind == Kind::Sheet) s.page = 1;
        if (c.kind == Kind::Image) s.picture = std::string(c.text);
        if (c.kind == Kind::Button && (c.attributes & kDefault) != 0) defaultButton_ = c.feq;
    }
}

void WindowBase::start() {
    showAll();
    for (const Control& c : definition_.controls)
        if (c.kind == Kind::Image) showPicture(c.feq, pictureSource(state(c.feq).picture));
    refreshAll();
    for (const Control& c : definition_.controls)
        if (c.kind == Kind::Sheet) return focusFirstOnPage(c.feq);
}

// --- the event loop

bool WindowBase::nextEvent(Event& event) {
    if (ended_) return false;
    while (queue_.empty()) waitForEvents();
    event = queue_.front();
    queue_.pop_front();
    if (event.kind == EventKind::CloseWindow) ended_ = true;
    return true;
}

void WindowBase::post(EventKind kind) {
    queue_.push_back({kind, 0});
}

// --- what the program changes

void WindowBase::refreshAll() {
    for (const Control& c : definition_.controls) {
        const Variable* v = variableOf(c.feq);
        if (!v) continue;
        showText(c.feq, entry::shown(*v, static_cast<std::size_t>(c.picture)));
        state(c.feq).edited = false;
    }
}

void WindowBase::select(int feq, int page) {
    const Control& sheet = definition_.control(feq);
    if (sheet.kind != Kind::Sheet || page < 1) return;
    const int pages = static_cast<int>(std::count_if(definition_.controls.begin(), definition_.controls.end(),
                                                     [&](const Control& c) { return c.parent == feq; }));
    if (page > pages) return;
    // The focus is about to leave the page, and an entry on it stores what was typed first.
    storeFocusedEntry();
    state(feq).page = page;
    for (const Control& c : definition_.controls) {
        const bool onThisSheet =
            c.parent == feq || (c.parent != 0 && definition_.control(c.parent).parent == feq);
        if (onThisSheet) showVisible(c.feq, isVisible(c.feq));
    }
    focusFirstOnPage(feq);
}

void WindowBase::hide(int feq) {
    const bool hadFocus = focusedControl() == feq;
    if (hadFocus) storeFocusedEntry();
    state(feq).hidden = true;
    showVisible(feq, isVisible(feq));
    if (hadFocus) moveFocusFrom(feq, false);
}

void WindowBase::unhide(int feq) {
    state(feq).hidden = false;
    showVisible(feq, isVisible(feq));
}

void WindowBase::enable(int feq) {
    state(feq).disabled = false;
    showEnabled(feq, true);
}

void WindowBase::disable(int feq) {
    const bool hadFocus = focusedControl() == feq;
    if (hadFocus) storeFocusedEntry();
    state(feq).disabled = true;
    showEnabled(feq, false);
    if (hadFocus) moveFocusFrom(feq, false);
}

void WindowBase::setProperty(int feq, Property property, std::string_view value) {
    switch (property) {
        case Property::Text:
            state(feq).picture = std::string(value);
            showPicture(feq, pictureSource(value));
            return;
        case Property::Default: {
            // One default button at most: giving the mark takes it from the button that had it;
            // taking it from a button that has not got it changes nothing.
            const bool makeDefault = !value.empty() && value != "0";
            if (makeDefault && defaultButton_ != feq) {
                if (defaultButton_ != 0) showDefault(defaultButton_, false);
                defaultButton_ = feq;
                showDefault(feq, true);
            } else if (!makeDefault && defaultButton_ == feq) {
                defaultButton_ = 0;
                showDefault(feq, false);
            }
            return;
        }
    }
}

// --- the state

int WindowBase::pageNumber(int pageFeq) const {
    const int sheet = definition_.control(pageFeq).parent;
    int n = 0;
    for (const Control& c : definition_.controls) {
        if (c.parent == sheet) ++n;
        if (c.feq == pageFeq) break;
    }
    return n;
}

int WindowBase::selectedPage(int sheet) const {
    return state(sheet).page;
}

bool WindowBase::isVisible(int feq) const {
    const Control& c = definition_.control(feq);
    if (state(feq).hidden) return false;
    if (c.kind == Kind::Page) return selectedPage(c.parent) == pageNumber(feq);
    if (c.parent != 0) return isVisible(c.parent);
    return true;
}

bool WindowBase::isEnabled(int feq) const {
    return !state(feq).disabled;
}

bool WindowBase::focusable(int feq) const {
    const Kind kind = definition_.control(feq).kind;
    return (kind == Kind::Entry || kind == Kind::Button) && isVisible(feq) && isEnabled(feq);
}

const Variable* WindowBase::variableOf(int feq) const {
    const int v = definition_.control(feq).variable;
    return v > 0 && static_cast<std::size_t>(v) <= variables_.size()
               ? &variables_[static_cast<std::size_t>(v - 1)]
               : nullptr;
}

std::size_t WindowBase::entryLimit(int feq, std::size_t length) const {
    return entry::limitOnFocus(static_cast<std::size_t>(definition_.control(feq).picture), length);
}

void WindowBase::showAll() {
    for (const Control& c : definition_.controls) {
        showVisible(c.feq, isVisible(c.feq));
        showEnabled(c.feq, isEnabled(c.feq));
        if (c.kind == Kind::Button) showDefault(c.feq, c.feq == defaultButton_);
    }
}

void WindowBase::focusFirstOnPage(int sheet) {
    for (const Control& c : definition_.controls)
        if (c.kind == Kind::Entry && c.parent != 0 && definition_.control(c.parent).parent == sheet &&
            focusable(c.feq))
            return moveFocus(c.feq);
    if (defaultButton_ != 0 && focusable(defaultButton_)) return moveFocus(defaultButton_);
    for (const Control& c : definition_.controls)
        if (focusable(c.feq)) return moveFocus(c.feq);
}

// --- what the user does

void WindowBase::storeFocusedEntry() {
    const int f = focusedControl();
    if (f != 0 && definition_.control(f).kind == Kind::Entry) entryFocusLost(f);
}

// A changed entry with the focus stores its text before any button acts, so that what was just
// typed is in its variable when the program looks, whether the button was clicked (which takes
// the focus) or pressed by a key (which does not).
void WindowBase::press(int feq) {
    storeFocusedEntry();
    queue_.push_back({EventKind::Accepted, feq});
}

void WindowBase::buttonPressed(int feq) {
    if (definition_.control(feq).kind == Kind::Button && focusable(feq)) press(feq);
}

// A focused button is pressed by Enter; otherwise Enter presses the default button, but only one
// that can be seen and used: a hidden default button does nothing.
void WindowBase::enterPressed() {
    const int f = focusedControl();
    if (f != 0 && definition_.control(f).kind == Kind::Button && focusable(f)) return press(f);
    if (defaultButton_ != 0 && focusable(defaultButton_)) press(defaultButton_);
}

void WindowBase::mnemonicPressed(char letter) {
    const int wanted = std::tolower(static_cast<unsigned char>(letter));
    for (const Control& c : definition_.controls) {
        if (c.kind != Kind::Button) continue;
        const std::size_t amp = c.text.find('&');
        if (amp == std::string_view::npos || amp + 1 >= c.text.size()) continue;
        if (std::tolower(static_cast<unsigned char>(c.text[amp + 1])) == wanted && focusable(c.feq))
            return press(c.feq);
    }
}

void WindowBase::closeRequested() {
    storeFocusedEntry();
    queue_.push_back({EventKind::CloseWindow, 0});
}

void WindowBase::entryEdited(int feq) {
    state(feq).edited = true;
}

void WindowBase::entryFocusLost(int feq) {
    State& s = state(feq);
    if (!s.edited) return;
    s.edited = false;
    if (const Variable* v = variableOf(feq)) entry::store(entryText(feq), *v);
    queue_.push_back({EventKind::Accepted, feq});
}

void WindowBase::tabPressed(bool backwards) {
    moveFocusFrom(focusedControl(), backwards);
}

// Tab order is declaration order among the entries and buttons that can take the focus. `from`
// keeps its place in it even when it has just been hidden or disabled.
void WindowBase::moveFocusFrom(int from, bool backwards) {
    std::vector<int> order;
    for (const Control& c : definition_.controls)
        if (focusable(c.feq) || c.feq == from) order.push_back(c.feq);
    const auto at = std::find(order.begin(), order.end(), from);
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t i = at == order.end() ? (backwards ? 0 : -1) : at - order.begin();
    for (std::ptrdiff_t step = 0; step < n; ++step) {
        i = ((i + (backwards ? -1 : 1)) % n + n) % n;
        const int feq = order[static_cast<std::size_t>(i)];
        if (focusable(feq)) return moveFocus(feq);
    }
}

}  // namespace ui
