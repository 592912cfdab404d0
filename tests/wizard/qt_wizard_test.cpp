// qt_wizard_test.cpp - the wizard on real Qt widgets (offscreen): pages and buttons, the entries'
// input rules as typed and pasted, the keys, and the layout in pixels. The generator is replaced by
// a function that keeps what it was given; Finish with the real library runs in qt_finish_test.
#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include "qt_session.hpp"
#include "wizard_window.hpp"

using namespace plinthor::testing;

namespace {

std::vector<MYTPLOPTS> generated;
std::int32_t STRANDEL_CALL keep(MYTPLOPTS opts) {
    generated.push_back(opts);
    return 0;
}

const char* const kPageStrings[] = {"?STRING1:6", "?STRING2:7", "?STRING3A:7", "?STRING6:2"};

int shownPage() {
    for (int i = 0; i < 4; ++i)
        if (const QWidget* w = control(kPageStrings[i]); w && w->isVisible()) return i + 1;
    return 0;
}

struct Buttons {
    int page;
    bool back, next, finish;  // usable: visible and enabled
    QString defaultButton;
    bool operator==(const Buttons&) const = default;
};

Buttons buttons() {
    const auto usable = [](const char* name) {
        const QWidget* w = control(name);
        return w->isVisible() && w->isEnabled();
    };
    QString def;
    for (const char* name : {"?BACK", "?NEXT", "?FINISH", "?CLOSE", "?HELPBUTTON"})
        if (control<QPushButton>(name)->isDefault()) def = QString::fromLatin1(name);
    return {shownPage(), usable("?BACK"), usable("?NEXT"), usable("?FINISH"), def};
}

Step enterPage(int page) {
    return pageShows(kPageStrings[page - 1]);
}

// Steps that move to the entry with the given name.
std::deque<Step> goToEntry(const char* name) {
    const bool onPage2 = std::strstr(name, "NAME_") != nullptr;
    std::deque<Step> steps = {key(Qt::Key_Return), enterPage(2)};
    if (!onPage2) steps.insert(steps.end(), {key(Qt::Key_Return), enterPage(3)});
    steps.push_back(until([name] {
        if (focused() == control(name)) return true;
        sendKey(focused(), Qt::Key_Tab);
        return false;
    }));
    return steps;
}

// Steps from anywhere on pages 1 to 3 to Finish, pressed.
std::deque<Step> finishFrom(int page) {
    std::deque<Step> steps;
    for (int p = page; p < 4; ++p) steps.insert(steps.end(), {key(Qt::Key_Return), enterPage(p + 1)});
    steps.push_back(key(Qt::Key_Return));
    return steps;
}

std::string fieldOf(const MYTPLOPTS& r, const QByteArray& entry) {
    const char* f = entry == "?MYTPLOPTS:NAME_LONG"    ? r.NAME_LONG
                    : entry == "?MYTPLOPTS:NAME_SHORT" ? r.NAME_SHORT
                    : entry == "?MYTPLOPTS:LANGUAGE"   ? r.LANGUAGE
                    : entry == "?MYTPLOPTS:SOURCE_EXT" ? r.SOURCE_EXT
                    : entry == "?MYTPLOPTS:EXTERN_EXT" ? r.EXTERN_EXT
                                                       : r.DOC_EXT;
    return f;
}

}  // namespace

class WizardOnQt : public QObject {
    Q_OBJECT

private slots:
    void init() { generated.clear(); }
    void cleanup() { QVERIFY2(!wizardFrame(), "the window is gone once the wizard returns"); }

    void pagesAndButtons() {
        std::vector<Buttons> seen;
        const Step look = act([&] { seen.push_back(buttons()); });
        Session s;
        const int status = s.play({look,
                                   key(Qt::Key_Return),
                                   enterPage(2),
                                   look,
                                   key(Qt::Key_Return),
                                   enterPage(3),
                                   look,
                                   key(Qt::Key_Return),
                                   enterPage(4),
                                   look,
                                   act([] { control<QPushButton>("?BACK")->click(); }),
                                   enterPage(3),
                                   look,
                                   key(Qt::Key_Return),
                                   look,
                                   act([] { control<QPushButton>("?BACK")->click(); }),
                                   enterPage(2),
                                   act([] { control<QPushButton>("?NEXT")->click(); }),
                                   enterPage(3),
                                   look,
                                   act([] { control<QPushButton>("?CLOSE")->click(); })},
                                  &keep);
        QVERIFY(!s.timedOut);
        QCOMPARE(status, 0);
        const std::vector<Buttons> expected = {
            {1, false, true, false, "?NEXT"},  {2, true, true, false, "?NEXT"},
            {3, true, true, false, "?NEXT"},   {4, true, false, true, "?FINISH"},
            {3, true, true, false, "?FINISH"},  // Back leaves the hidden Finish the default button
            {3, true, true, false, "?FINISH"},  // and Enter then does nothing
            {3, true, true, false, "?NEXT"},
        };
        QCOMPARE(seen.size(), expected.size());
        for (std::size_t i = 0; i < seen.size(); ++i)
            QVERIFY2(seen[i] == expected[i], QByteArray::number(qulonglong(i)));
        QVERIFY(generated.empty());
    }

    void titlesAndImages() {
        std::vector<std::pair<QString, QImage>> seen;
        const Step look = act([&] {
            seen.emplace_back(control<QLabel>("?TITLESTRING")->text(),
                              control<QLabel>("?WIZARDIMAGE")->pixmap().toImage());
        });
        Session s;
        s.play({look, key(Qt::Key_Return), enterPage(2), look, key(Qt::Key_Return), enterPage(3), look,
                key(Qt::Key_Return), enterPage(4), look, key(Qt::Key_Escape)},
               &keep);
        QCOMPARE(seen.size(), std::size_t{4});
        QCOMPARE(seen[0].first, QString("Welcome to the Template Generation Wizard"));
        QCOMPARE(seen[1].first, QString("Template Name and Label"));
        QCOMPARE(seen[2].first, QString("Code Label and File Extensions"));
        QCOMPARE(seen[3].first, QString("Finish"));
        const auto same = [](const QImage& shown, const char* resource) {
            const QImage linked(resource);
            return linked.size() == QSize(120, 260) && shown.convertToFormat(QImage::Format_ARGB32) ==
                                                           linked.convertToFormat(QImage::Format_ARGB32);
        };
        for (std::size_t i = 0; i < 3; ++i)
            QVERIFY2(same(seen[i].second, ":/TEMPLATE_GIF"), QByteArray::number(qulonglong(i + 1)));
        QVERIFY(same(seen[3].second, ":/FINISH_GIF"));
    }

    void typingRules_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("beeps");
        QTest::newRow("capitalised words") << QByteArray("?MYTPLOPTS:NAME_LONG") << "my first template"
                                           << QByteArray("My First Template") << 0;
        QTest::newRow("apostrophe") << QByteArray("?MYTPLOPTS:NAME_LONG") << "o'brien"
                                    << QByteArray("O'brien") << 0;
        QTest::newRow("after a digit")
            << QByteArray("?MYTPLOPTS:NAME_LONG") << "2nd file" << QByteArray("2nd File") << 0;
        QTest::newRow("after a hyphen")
            << QByteArray("?MYTPLOPTS:NAME_LONG") << "a-b" << QByteArray("A-B") << 0;
        QTest::newRow("language capitalised")
            << QByteArray("?MYTPLOPTS:LANGUAGE") << "c plus" << QByteArray("C Plus") << 0;
        QTest::newRow("short name as typed")
            << QByteArray("?MYTPLOPTS:NAME_SHORT") << "ab cd" << QByteArray("ab cd") << 0;
        QTest::newRow("sixth character refused")
            << QByteArray("?MYTPLOPTS:NAME_SHORT") << "abcdef" << QByteArray("abcde") << 1;
        QTest::newRow("fifth extension character refused")
            << QByteArray("?MYTPLOPTS:SOURCE_EXT") << "abcde" << QByteArray("abcd") << 1;
        QTest::newRow("external extension")
            << QByteArray("?MYTPLOPTS:EXTERN_EXT") << "inc" << QByteArray("inc") << 0;
        QTest::newRow("documentation extension")
            << QByteArray("?MYTPLOPTS:DOC_EXT") << "txtxx" << QByteArray("txtx") << 1;
        QTest::newRow("64 typed, 63 stored")
            << QByteArray("?MYTPLOPTS:NAME_LONG") << QString(64, 'x') << "X" + QByteArray(62, 'x') << 0;
        QTest::newRow("65th refused")
            << QByteArray("?MYTPLOPTS:NAME_LONG") << QString(65, 'x') << "X" + QByteArray(62, 'x') << 1;
        QTest::newRow("trailing blanks stored")
            << QByteArray("?MYTPLOPTS:NAME_LONG") << "name  " << QByteArray("Name  ") << 0;
        QTest::newRow("outside the code page")
            << QByteArray("?MYTPLOPTS:NAME_LONG") << QString::fromUtf8("a\u263a\u0101b") << QByteArray("Ab")
            << 2;
        QTest::newRow("code page letters")
            << QByteArray("?MYTPLOPTS:LANGUAGE") << QString::fromUtf8("\u00e9t\u00e9 \u20ac")
            << QByteArray("\xe9t\xe9 \x80") << 0;
    }

    void typingRules() {
        QFETCH(QByteArray, entry);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        QFETCH(int, beeps);
        const int page = entry.contains("NAME_") ? 2 : 3;
        std::deque<Step> steps = goToEntry(entry.constData());
        steps.push_back(type(typed));
        for (Step& s : finishFrom(page)) steps.push_back(std::move(s));
        Session s;
        s.play(std::move(steps), &keep);
        QVERIFY(!s.timedOut);
        QCOMPARE(generated.size(), std::size_t{1});
        QCOMPARE(QByteArray::fromStdString(fieldOf(generated[0], entry)), stored);
        QCOMPARE(s.beeps, beeps);
    }

    void shiftKeepsALetterAsTyped() {
        Session s;
        std::deque<Step> steps = goToEntry("?MYTPLOPTS:NAME_LONG");
        steps.push_back(act([] { sendKey(focused(), Qt::Key_X, Qt::ShiftModifier, "x"); }));
        steps.push_back(type(" y"));
        for (Step& step : finishFrom(2)) steps.push_back(std::move(step));
        s.play(std::move(steps), &keep);
        QCOMPARE(QByteArray(generated.at(0).NAME_LONG), QByteArray("x Y"));
    }

    void pasteRules_data() {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("beeps");
        QTest::newRow("not capitalised") << QByteArray("?MYTPLOPTS:NAME_LONG") << ""
                                         << "my first template"
                                         << "my first template" << 0;
        QTest::newRow("fits") << QByteArray("?MYTPLOPTS:NAME_SHORT") << "ab"
                              << "cde"
                              << "abcde" << 0;
        QTest::newRow("longer than the room") << QByteArray("?MYTPLOPTS:NAME_SHORT") << "ab"
                                              << "cdef"
                                              << "ab" << 1;
        QTest::newRow("first line only") << QByteArray("?MYTPLOPTS:SOURCE_EXT") << ""
                                         << "cbl\nrest"
                                         << "cbl" << 0;
        QTest::newRow("outside the code page")
            << QByteArray("?MYTPLOPTS:LANGUAGE") << "" << QString::fromUtf8("\u263a") << "" << 1;
    }

    void pasteRules() {
        QFETCH(QByteArray, entry);
        QFETCH(QString, typed);
        QFETCH(QString, clipboard);
        QFETCH(QString, stored);
        QFETCH(int, beeps);
        QGuiApplication::clipboard()->setText(clipboard);
        std::deque<Step> steps = goToEntry(entry.constData());
        steps.push_back(type(typed));
        steps.push_back(key(Qt::Key_V, Qt::ControlModifier));
        for (Step& s : finishFrom(entry.contains("NAME_") ? 2 : 3)) steps.push_back(std::move(s));
        Session s;
        s.play(std::move(steps), &keep);
        QCOMPARE(QByteArray::fromStdString(fieldOf(generated.at(0), entry)), stored.toLatin1());
        QCOMPARE(s.beeps, beeps);
    }

    // Enter leaves the focus in the entry, so what was typed must be stored before Next refreshes
    // the page; and a refresh shows the field without its trailing blanks but leaves it whole.
    void typedTextSurvivesEnterNextAndBack() {
        QString shown;
        Session s;
        std::deque<Step> steps = goToEntry("?MYTPLOPTS:NAME_LONG");
        steps.insert(steps.end(), {type("kept  "), key(Qt::Key_Return), enterPage(3),
                                   act([] { control<QPushButton>("?BACK")->click(); }), enterPage(2),
                                   act([&] { shown = control<QLineEdit>("?MYTPLOPTS:NAME_LONG")->text(); })});
        for (Step& step : finishFrom(2)) steps.push_back(std::move(step));
        s.play(std::move(steps), &keep);
        QCOMPARE(shown, QString("Kept"));
        QCOMPARE(QByteArray(generated.at(0).NAME_LONG), QByteArray("Kept  "));
    }

    void keys_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("pageAfter");  // 0: the window closed
        QTest::addColumn<int>("generatedCalls");
        QTest::newRow("Enter on page 1") << 1 << int(Qt::Key_Return) << 0 << 2 << 0;
        QTest::newRow("keypad Enter on page 2") << 2 << int(Qt::Key_Enter) << 0 << 3 << 0;
        QTest::newRow("Alt+X") << 2 << int(Qt::Key_X) << int(Qt::AltModifier) << 3 << 0;
        QTest::newRow("Alt+B") << 3 << int(Qt::Key_B) << int(Qt::AltModifier) << 2 << 0;
        QTest::newRow("Alt+B on page 1") << 1 << int(Qt::Key_B) << int(Qt::AltModifier) << 1 << 0;
        QTest::newRow("Alt+F on page 3") << 3 << int(Qt::Key_F) << int(Qt::AltModifier) << 3 << 0;
        QTest::newRow("Alt+F on page 4") << 4 << int(Qt::Key_F) << int(Qt::AltModifier) << 0 << 1;
        QTest::newRow("Enter on page 4") << 4 << int(Qt::Key_Return) << 0 << 0 << 1;
        for (int p = 1; p <= 4; ++p)
            QTest::newRow(qPrintable(QString("Esc on page %1").arg(p)))
                << p << int(Qt::Key_Escape) << 0 << 0 << 0;
    }

    void keys() {
        QFETCH(int, page);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, pageAfter);
        QFETCH(int, generatedCalls);
        std::deque<Step> steps;
        for (int p = 1; p < page; ++p) steps.insert(steps.end(), {::key(Qt::Key_Return), enterPage(p + 1)});
        int after = 0;
        // A mnemonic presses its button after a short animation: give it time either way.
        steps.insert(
            steps.end(),
            {act([=] { QTest::keyClick(focused(), Qt::Key(key), Qt::KeyboardModifiers(modifiers)); }),
             pause(300), act([&] { after = shownPage(); }), ::key(Qt::Key_Escape)});
        Session s;
        QCOMPARE(s.play(std::move(steps), &keep), 0);
        QVERIFY(!s.timedOut);
        if (pageAfter != 0) QCOMPARE(after, pageAfter);
        QCOMPARE(int(generated.size()), generatedCalls);
    }

    void frameCloseButtonClosesWithoutGenerating() {
        Session s;
        QCOMPARE(s.play({key(Qt::Key_Return), enterPage(2), act([] { wizardFrame()->close(); })}, &keep), 0);
        QVERIFY(!s.timedOut);
        QVERIFY(generated.empty());
    }

    void helpDoesNothing() {
        Buttons before{}, after{};
        Session s;
        s.play({key(Qt::Key_Return), enterPage(2), act([&] { before = buttons(); }),
                act([] { control<QPushButton>("?HELPBUTTON")->click(); }), act([&] { after = buttons(); }),
                key(Qt::Key_Escape)},
               &keep);
        QVERIFY(before == after);
        QCOMPARE(after.page, 2);
    }

    void entriesHaveTheirTips() {
        QStringList tips;
        Session s;
        s.play({act([&] {
                    for (const char* name :
                         {"?MYTPLOPTS:NAME_LONG", "?MYTPLOPTS:NAME_SHORT", "?MYTPLOPTS:LANGUAGE",
                          "?MYTPLOPTS:SOURCE_EXT", "?MYTPLOPTS:EXTERN_EXT", "?MYTPLOPTS:DOC_EXT"})
                        tips << control(name)->toolTip();
                }),
                key(Qt::Key_Escape)},
               &keep);
        QCOMPARE(
            tips,
            QStringList({"Enter the template name.", "Enter the template short name (5 characters max) .",
                         "Enter the source language name.", "Enter the source language file extension.",
                         "Enter the external source file extension.", "Enter the document file extension."}));
    }

    // Tab visits the visible, enabled entries and buttons in declaration order, around and back.
    void tabOrder() {
        QStringList forward, backward;
        const auto walk = [](QStringList& into, Qt::KeyboardModifiers m) {
            return act([&into, m] {
                into << focused()->objectName();
                for (int i = 0; i < 8; ++i) {
                    sendKey(focused(), Qt::Key_Tab, m);
                    into << focused()->objectName();
                }
            });
        };
        Session s;
        s.play({key(Qt::Key_Return), enterPage(2), key(Qt::Key_Return), enterPage(3),
                walk(forward, Qt::NoModifier), walk(backward, Qt::ShiftModifier), key(Qt::Key_Escape)},
               &keep);
        const QStringList order = {"?MYTPLOPTS:LANGUAGE",
                                   "?MYTPLOPTS:SOURCE_EXT",
                                   "?MYTPLOPTS:EXTERN_EXT",
                                   "?MYTPLOPTS:DOC_EXT",
                                   "?BACK",
                                   "?NEXT",
                                   "?CLOSE",
                                   "?HELPBUTTON",
                                   "?MYTPLOPTS:LANGUAGE"};
        QCOMPARE(forward, order);
        QStringList reversed(order.rbegin(), order.rend());
        QCOMPARE(backward, reversed);
    }

    // "~name" is a linked picture first, then the file "name" in the current directory, else
    // nothing at all.
    void pictureLookUp() {
        QTemporaryDir dir;
        QImage own(20, 30, QImage::Format_ARGB32);
        own.fill(Qt::red);
        QVERIFY(own.save(dir.filePath("own.gif"), "GIF") || own.save(dir.filePath("own.gif"), "PNG"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
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
        ui::qt::QtRuntime runtime;
        std::unique_ptr<ui::Window> window = runtime.open(plinthor::kWizardWindow, variables);
        const auto shown = [] { return control<QLabel>("?WIZARDIMAGE")->pixmap(); };
        QCOMPARE(shown().size(), QSize(120, 260));  // "template.gif": the linked TEMPLATE_GIF
        window->setProperty(plinthor::WizardImage, ui::Property::Text, "~own.gif");
        QCOMPARE(shown().size(), QSize(20, 30));
        QCOMPARE(control("?WIZARDIMAGE")->size(), QSize(20, 30));
        window->setProperty(plinthor::WizardImage, ui::Property::Text, "~nowhere.gif");
        QVERIFY(shown().isNull());
        window->setProperty(plinthor::WizardImage, ui::Property::Text, "~finish.gif");
        QCOMPARE(shown().toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(":/FINISH_GIF").convertToFormat(QImage::Format_ARGB32));
        window->close();
        QDir::setCurrent(before);
    }

    // The layout holds in pixels whatever the base font: the side image ends left of the sheet,
    // the title lies on the sheet, and the buttons stay inside the client area.
    void layoutForTwoBaseFonts_data() {
        QTest::addColumn<QFont>("base");
        QFont system("System", 8);
        QTest::newRow("System 8") << system;
        QFont large = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        large.setPixelSize(22);
        QTest::newRow("a larger face") << large;
    }

    void layoutForTwoBaseFonts() {
        QFETCH(QFont, base);
        QRect client, image, sheet, title, line;
        std::vector<QRect> buttonRects;
        Session s;
        s.baseFont = base;
        s.play({act([&] {
                    client = wizardFrame()->rect();
                    image = control("?WIZARDIMAGE")->geometry();
                    sheet = control("?SHEET")->geometry();
                    title = control("?TITLESTRING")->geometry();
                    line = control("?SEPERATORPANEL")->geometry();
                    for (const char* b : {"?BACK", "?NEXT", "?FINISH", "?CLOSE", "?HELPBUTTON"})
                        buttonRects.push_back(control(b)->geometry());
                }),
                key(Qt::Key_Escape)},
               &keep);
        const QFontMetrics m(base);
        const int avg =
            (m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
        QCOMPARE(client.width(), (214 * avg + 2) / 4);
        QCOMPARE(image.size(), QSize(120, 260));
        QVERIFY2(image.right() < sheet.left(), "the image ends left of the sheet");
        QVERIFY(client.contains(image));
        QVERIFY(sheet.contains(title));
        QVERIFY(line.top() > sheet.bottom());
        for (const QRect& b : buttonRects) {
            QVERIFY(client.contains(b));
            QVERIFY(b.top() > line.bottom());
        }
        QCOMPARE(buttonRects[1], buttonRects[2]);  // Finish takes Next's place
    }
};

QTEST_MAIN(WizardOnQt)
#include "qt_wizard_test.moc"
