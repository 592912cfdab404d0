// wizard_procedure_test.cpp - the wizard procedure over the shared window state, with a headless
// backend in place of a toolkit: pages, buttons, the default button, Finish and Cancel.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/window_base.hpp"
#include "wizard_procedure.hpp"
#include "wizard_window.hpp"

namespace plinthor {
namespace {

class HeadlessWindow;
using Step = std::function<void(HeadlessWindow&)>;

// A window without a screen: "widgets" are a text per control and a focus; each time the window
// waits for events, the next scripted user action happens.
class HeadlessWindow final : public ui::WindowBase {
public:
    HeadlessWindow(const ui::WindowDefinition& d, std::span<const ui::Variable> v, std::deque<Step>& script)
        : WindowBase(d, v), script_(script) {
        start();
    }

    // What a user does.
    void type(std::string_view text) {
        texts[focus] += text;
        entryEdited(focus);
    }
    void click(int feq) {
        if (focusable(feq)) setFocus(feq);  // a click takes the focus first
        buttonPressed(feq);
    }
    void key(char k) {
        if (k == '\n') enterPressed();
        if (k == '\x1b') closeRequested();
        if (k == '\t') tabPressed(false);
    }
    void alt(char letter) { mnemonicPressed(letter); }
    void setFocus(int feq) {
        if (focus != 0 && focus != feq && definition().control(focus).kind == ui::Kind::Entry)
            entryFocusLost(focus);
        focus = feq;
    }

    void beep() override {}
    void close() override { closed = true; }

    std::map<int, std::string> texts;
    int focus = 0;
    bool closed = false;

private:
    bool focusable(int feq) const {
        const ui::Kind k = definition().control(feq).kind;
        return (k == ui::Kind::Entry || k == ui::Kind::Button) && isVisible(feq) && isEnabled(feq);
    }
    void waitForEvents() override {
        if (script_.empty()) throw std::runtime_error("the script ended before the window closed");
        Step step = std::move(script_.front());
        script_.pop_front();
        step(*this);
    }
    void showVisible(int, bool) override {}
    void showEnabled(int, bool) override {}
    void showDefault(int, bool) override {}
    void showPicture(int, const ui::PictureSource&) override {}
    void showText(int feq, std::string_view text) override { texts[feq] = std::string(text); }
    std::string entryText(int feq) const override {
        const auto it = texts.find(feq);
        return it == texts.end() ? std::string() : it->second;
    }
    int focusedControl() const override { return focus; }
    void moveFocus(int feq) override { setFocus(feq); }

    std::deque<Step>& script_;
};

class HeadlessRuntime final : public ui::Runtime {
public:
    explicit HeadlessRuntime(std::deque<Step> script) : script_(std::move(script)) {}
    std::unique_ptr<ui::Window> open(const ui::WindowDefinition& d,
                                     std::span<const ui::Variable> v) override {
        auto window = std::make_unique<HeadlessWindow>(d, v, script_);
        last = window.get();
        return window;
    }
    HeadlessWindow* last = nullptr;

private:
    std::deque<Step> script_;
};

// What the generator was given, per call.
std::vector<MYTPLOPTS> generated;
std::int32_t STRANDEL_CALL recordCall(MYTPLOPTS opts) {
    generated.push_back(opts);
    return 0;
}

struct Look {
    int page;
    bool backEnabled;
    bool nextVisible;
    bool finishVisible;
    int defaultButton;
    std::string image;
    std::string title;
    bool operator==(const Look&) const = default;
};

void PrintTo(const Look& l, std::ostream* os) {
    *os << "page " << l.page << (l.backEnabled ? " back" : " -") << (l.nextVisible ? " next" : " -")
        << (l.finishVisible ? " finish" : " -") << " default " << l.defaultButton << " " << l.image << " '"
        << l.title << "'";
}

Look look(const HeadlessWindow& w) {
    return {w.selectedPage(Sheet), w.isEnabled(Back),      w.isVisible(Next),      w.isVisible(Finish),
            w.defaultButton(),     w.picture(WizardImage), w.texts.at(TitleString)};
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override { generated.clear(); }

    // Runs the wizard through the steps; returns its exit status.
    int run(std::deque<Step> steps) {
        HeadlessRuntime runtime(std::move(steps));
        return runWizard(runtime, &recordCall);
    }
    Step record() {
        return [this](HeadlessWindow& w) { looks.push_back(look(w)); };
    }
    static Step click(int feq) {
        return [feq](HeadlessWindow& w) { w.click(feq); };
    }
    static Step key(char k) {
        return [k](HeadlessWindow& w) { w.key(k); };
    }
    static Step type(std::string text) {
        return [text](HeadlessWindow& w) { w.type(text); };
    }
    std::vector<Look> looks;
};

const std::string kWelcome = "Welcome to the Template Generation Wizard";
const std::string kNames = "Template Name and Label";
const std::string kCodes = "Code Label and File Extensions";
const std::string kTemplate = "~template.gif";

TEST_F(Wizard, PagesButtonsAndTheDefaultButtonAlongTheWay) {
    const int status =
        run({record(), click(Next), record(), click(Next), record(), click(Next), record(), click(Back),
             record(), click(Back), record(), click(Back), record(), click(Next), record(), click(Close)});
    EXPECT_EQ(status, 0);
    const std::vector<Look> expected = {
        {1, false, true, false, Next, kTemplate, kWelcome},
        {2, true, true, false, Next, kTemplate, kNames},
        {3, true, true, false, Next, kTemplate, kCodes},
        {4, true, false, true, Finish, "~finish.gif", "Finish"},
        // Back never moves the default button: the hidden Finish keeps it.
        {3, true, true, false, Finish, kTemplate, kCodes},
        {2, true, true, false, Finish, kTemplate, kNames},
        {1, false, true, false, Finish, kTemplate, kWelcome},
        {2, true, true, false, Next, kTemplate, kNames},
    };
    EXPECT_EQ(looks, expected);
    EXPECT_TRUE(generated.empty());
}

TEST_F(Wizard, EnterDoesNothingWhileTheDefaultButtonIsHidden) {
    run({key('\n'), key('\n'), key('\n'), record(), click(Back), key('\n'), record(), click(Next), record(),
         click(Close)});
    ASSERT_EQ(looks.size(), 3U);
    EXPECT_EQ(looks[0].page, 4);
    EXPECT_EQ(looks[1].page, 3) << "Enter with the hidden Finish as default";
    EXPECT_EQ(looks[2].page, 4);
    EXPECT_TRUE(generated.empty());
}

TEST_F(Wizard, FinishHandsOverTheTypedValuesAndCloses) {
    run({key('\n'), type("My Template"), key('\t'), type("mytpl"), key('\n'), type("Cobol"), key('\t'),
         type("cbl"), key('\t'), type("cpy"), key('\t'), type("txt"), key('\n'), key('\n')});
    ASSERT_EQ(generated.size(), 1U);
    const MYTPLOPTS& r = generated[0];
    EXPECT_STREQ(r.NAME_LONG, "My Template");
    EXPECT_STREQ(r.NAME_SHORT, "mytpl");
    EXPECT_STREQ(r.LANGUAGE, "Cobol");
    EXPECT_STREQ(r.SOURCE_EXT, "cbl");
    EXPECT_STREQ(r.EXTERN_EXT, "cpy");
    EXPECT_STREQ(r.DOC_EXT, "txt");
}

TEST_F(Wizard, FinishWithEveryFieldEmptyStillGenerates) {
    run({click(Next), click(Next), click(Next), click(Finish)});
    ASSERT_EQ(generated.size(), 1U);
    MYTPLOPTS cleared;
    std::memset(&cleared, 0, sizeof cleared);
    EXPECT_EQ(std::memcmp(&generated[0], &cleared, sizeof cleared), 0);
}

TEST_F(Wizard, CancelEscapeAndTheMnemonicsOnEveryPage) {
    for (int page = 1; page <= 4; ++page) {
        for (const Step& leave : {click(Close), key('\x1b')}) {
            std::deque<Step> steps;
            for (int i = 1; i < page; ++i) steps.push_back(key('\n'));
            steps.push_back(leave);
            EXPECT_EQ(run(steps), 0);
        }
    }
    EXPECT_TRUE(generated.empty());
    run({[](HeadlessWindow& w) { w.alt('x'); }, [](HeadlessWindow& w) { w.alt('X'); }, record(),
         [](HeadlessWindow& w) { w.alt('b'); }, record(), [](HeadlessWindow& w) { w.alt('f'); }, record(),
         click(Close)});
    ASSERT_EQ(looks.size(), 3U);
    EXPECT_EQ(looks[0].page, 3);
    EXPECT_EQ(looks[1].page, 2);
    EXPECT_EQ(looks[2].page, 2) << "Alt+F does nothing while Finish is hidden";
    EXPECT_TRUE(generated.empty());
}

TEST_F(Wizard, HelpChangesNothing) {
    run({key('\n'), record(), click(HelpButton), record(), click(Close)});
    EXPECT_EQ(looks.at(0), looks.at(1));
}

// Enter keeps the focus in the entry; what was typed is stored before Next acts, so the refresh
// that comes with the next page does not wipe it out.
TEST_F(Wizard, TypedTextSurvivesEnterNextAndBack) {
    std::string shownAfterBack;
    run({key('\n'), type("Kept Name"), key('\n'), click(Back),
         [&](HeadlessWindow& w) { shownAfterBack = w.texts[MytploptsNameLong]; }, key('\n'), key('\n'),
         key('\n')});
    EXPECT_EQ(shownAfterBack, "Kept Name");
    ASSERT_EQ(generated.size(), 1U);
    EXPECT_STREQ(generated[0].NAME_LONG, "Kept Name");
}

struct StoreCase {
    const char* action;
    Step act;
    ui::Event last;
};

// Whatever ends the typing (a key that leaves the focus where it is, a click that takes it, or
// closing), the entry stores its text and reports it before the button's or the window's event.
TEST(WindowEvents, AFocusedChangedEntryStoresBeforeAButtonOrCloseActs) {
    const std::vector<StoreCase> cases = {
        {"Enter", [](HeadlessWindow& w) { w.key('\n'); }, {ui::EventKind::Accepted, Next}},
        {"Alt+X", [](HeadlessWindow& w) { w.alt('x'); }, {ui::EventKind::Accepted, Next}},
        {"click", [](HeadlessWindow& w) { w.click(Back); }, {ui::EventKind::Accepted, Back}},
        {"Esc", [](HeadlessWindow& w) { w.key('\x1b'); }, {ui::EventKind::CloseWindow, 0}},
    };
    for (const StoreCase& c : cases) {
        std::array<char, 50> title{};
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
        std::deque<Step> none;
        HeadlessWindow w(kWizardWindow, variables, none);
        w.enable(Back);
        w.select(Sheet, 2);  // the focus goes to the template-name entry
        w.type("Typed");
        c.act(w);
        ui::Event first{}, second{};
        ASSERT_TRUE(w.nextEvent(first)) << c.action;
        ASSERT_TRUE(w.nextEvent(second)) << c.action;
        EXPECT_EQ(first.kind, ui::EventKind::Accepted) << c.action;
        EXPECT_EQ(first.feq, MytploptsNameLong) << c.action;
        EXPECT_EQ(second.kind, c.last.kind) << c.action;
        EXPECT_EQ(second.feq, c.last.feq) << c.action;
        EXPECT_STREQ(record.NAME_LONG, "Typed") << c.action;
    }
}

}  // namespace
}  // namespace plinthor
