// wizard_procedure.cpp - the wizard's pages and buttons.
#include "wizard_procedure.hpp"

#include <array>
#include <cstring>
#include <string_view>

#include "wizard_window.hpp"

namespace plinthor {

namespace {

using ui::EventKind;
using ui::Property;

struct PageEntry {
    std::string_view image;
    std::string_view title;
};

constexpr std::array<PageEntry, 4> kPages{{
    {"~template.gif", "Welcome to the Template Generation Wizard"},
    {"~template.gif", "Template Name and Label"},
    {"~template.gif", "Code Label and File Extensions"},
    {"~finish.gif", "Finish"},
}};
constexpr std::uint8_t kLastPage = kPages.size();

using Title = std::array<char, 50>;  // left-aligned, padded with blanks

void assign(Title& title, std::string_view text) {
    title.fill(' ');
    std::memcpy(title.data(), text.data(), std::min(text.size(), title.size()));
}

void showPage(ui::Window& window, std::uint8_t page, Title& title) {
    const PageEntry& p = kPages[page - 1u];
    window.setProperty(WizardImage, Property::Text, p.image);
    assign(title, p.title);
    window.refreshAll();
    window.select(Sheet, page);
}

void next(ui::Window& window, std::uint8_t& page, Title& title) {
    if (page != kLastPage) ++page;
    if (page == kLastPage) {
        window.setProperty(Next, Property::Default, "0");
        window.hide(Next);
        window.setProperty(Finish, Property::Default, "1");
        window.unhide(Finish);
    } else {
        window.enable(Back);
        window.setProperty(Next, Property::Default, "1");
    }
    showPage(window, page, title);
}

// Back leaves the default button where it is: after a visit to the last page the hidden Finish
// keeps it until a Next lands on page 2 or 3.
void back(ui::Window& window, std::uint8_t& page, Title& title) {
    if (page != 1) --page;
    if (page == 1) {
        window.disable(Back);
    } else {
        window.hide(Finish);
        window.unhide(Next);
        window.enable(Back);
    }
    showPage(window, page, title);
}

}  // namespace

int runWizard(ui::Runtime& runtime, Generate generate) {
    Title title;
    title.fill(' ');
    std::uint8_t page = 1;
    MYTPLOPTS record{};

    using Type = ui::Variable::Type;
    const std::array<ui::Variable, 7> variables{{
        {Type::Padded, title.data(), title.size()},
        {Type::Terminated, record.NAME_LONG, sizeof record.NAME_LONG},
        {Type::Terminated, record.NAME_SHORT, sizeof record.NAME_SHORT},
        {Type::Terminated, record.LANGUAGE, sizeof record.LANGUAGE},
        {Type::Terminated, record.SOURCE_EXT, sizeof record.SOURCE_EXT},
        {Type::Terminated, record.EXTERN_EXT, sizeof record.EXTERN_EXT},
        {Type::Terminated, record.DOC_EXT, sizeof record.DOC_EXT},
    }};
    const std::unique_ptr<ui::Window> window = runtime.open(kWizardWindow, variables);
    showPage(*window, page, title);

    ui::Event event{};
    while (window->nextEvent(event)) {
        switch (event.feq) {
            case Sheet:
                if (event.kind != EventKind::CloseWindow) window->refreshAll();
                break;
            case Next:
                if (event.kind == EventKind::Accepted) next(*window, page, title);
                break;
            case Back:
                if (event.kind == EventKind::Accepted) back(*window, page, title);
                break;
            case Finish:
                if (event.kind == EventKind::Accepted) {
                    generate(record);  // a copy, by value; the result is not looked at
                    window->post(EventKind::CloseWindow);
                }
                break;
            case Close:
                if (event.kind == EventKind::Accepted) window->post(EventKind::CloseWindow);
                break;
            default: break;
        }
    }
    window->close();
    return 0;
}

}  // namespace plinthor
