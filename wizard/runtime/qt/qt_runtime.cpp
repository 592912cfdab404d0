// qt_runtime.cpp - windows built from a definition out of Qt widgets. Each widget reports what
// the user does to the shared window state, and shows what that state asks for.
#include "qt_runtime.hpp"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QWidget>

#include <vector>

#include "runtime/dialog_units.hpp"
#include "runtime/entry_rules.hpp"
#include "runtime/window_base.hpp"

namespace ui::qt {

namespace {

// --- text and fonts

QString toQString(std::string_view bytes) {
    QString s;
    s.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char b : bytes)
        s.append(QChar(static_cast<char16_t>(codepage::toUnicode(static_cast<unsigned char>(b)))));
    return s;
}

std::string toBytes(const QString& text) {
    std::string bytes;
    for (const char32_t c : text.toUcs4())
        bytes.push_back(static_cast<char>(codepage::fromUnicode(c).value_or('?')));
    return bytes;
}

// Debian ships Wine's free Tahoma-compatible faces and its System face here, outside the font
// configuration's search path.
constexpr const char* kWineFonts = "/usr/share/wine/fonts/";

bool hasFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

void addFacesIfMissing(const QString& family, std::initializer_list<const char*> files) {
    if (hasFamily(family)) return;
    for (const char* file : files) QFontDatabase::addApplicationFont(QString(kWineFonts) + file);
}

struct Fonts {
    QFont base;  // measured for the dialog units only
    QFont regular;
    QFont bold;
};

Fonts loadFonts() {
    addFacesIfMissing("System", {"system.ttf"});
    // Wine's bold Tahoma file carries regular-weight outlines; from the regular face alone the
    // toolkit draws a real bold.
    addFacesIfMissing("Tahoma", {"tahoma.ttf"});
    const QFont platform = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    Fonts f;
    if (hasFamily("System")) {
        f.base = QFont("System", 8);
    } else {
        // The System face comes in one size only, a 16-pixel cell; keep that scale without it.
        f.base = platform;
        f.base.setPixelSize(16);
    }
    const QString face = hasFamily("Tahoma") ? QStringLiteral("Tahoma") : platform.family();
    f.regular = QFont(face, 8, QFont::Normal);
    f.bold = QFont(face, 8, QFont::Bold);
    return f;
}

BaseUnits measure(const QFont& font) {
    const QFontMetrics m(font);
    return baseUnits(
        m.horizontalAdvance(QString::fromLatin1(kAlphabet.data(), static_cast<qsizetype>(kAlphabet.size()))),
        m.height());
}

class QtWindow;

// The window's frame: the frame's close button asks the program to close instead of closing.
class Frame final : public QWidget {
public:
    explicit Frame(QtWindow& window) : window_(window) {}
    bool closing = false;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QtWindow& window_;
};

class Entry final : public QLineEdit {
public:
    Entry(QtWindow& window, int feq, bool capitalise, QWidget* parent)
        : QLineEdit(parent), window_(window), feq_(feq), capitalise_(capitalise) {
        setAcceptDrops(false);  // text gets in by typing or pasting only, under their rules
    }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void typeCharacter(char32_t c, bool shift);
    void paste(QClipboard::Mode mode);
    std::size_t lengthWithoutSelection() const {
        return static_cast<std::size_t>(text().size() - selectedText().size());
    }

    QtWindow& window_;
    int feq_;
    bool capitalise_;
    std::size_t limit_ = 0;
};

class QtWindow final : public WindowBase, public QObject {
public:
    QtWindow(const WindowDefinition& definition, std::span<const Variable> variables, QtRuntime::Beep beep,
             const std::optional<QFont>& baseFont);
    ~QtWindow() override;

    void beep() override { beep_ ? beep_() : QApplication::beep(); }
    void close() override;

    // For the widgets.
    void edited(int feq) { entryEdited(feq); }
    // Widgets that lose the focus while the window is being taken down have nothing to store.
    void focusLost(int feq) {
        if (frame_) entryFocusLost(feq);
    }
    void closeAsked() { closeRequested(); }
    std::size_t limit(int feq, std::size_t length) const { return entryLimit(feq, length); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void waitForEvents() override { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); }
    void showVisible(int feq, bool visible) override;
    void showEnabled(int feq, bool enabled) override;
    void showDefault(int feq, bool isDefault) override;
    void showPicture(int feq, const PictureSource& source) override;
    void showText(int feq, std::string_view text) override;
    std::string entryText(int feq) const override;
    int focusedControl() const override;
    void moveFocus(int feq) override;

    QWidget* build(const Control& c);
    const QFont& fontOf(const Control& c) const;
    QWidget* widget(int feq) const { return widgets_[static_cast<std::size_t>(feq - 1)]; }

    QtRuntime::Beep beep_;
    Fonts fonts_;
    BaseUnits base_{};
    std::unique_ptr<Frame> frame_;
    std::vector<QWidget*> widgets_;  // by field equate; none for pages
};

void Frame::closeEvent(QCloseEvent* event) {
    if (closing) return event->accept();
    event->ignore();
    window_.closeAsked();
}

// --- entries

void Entry::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) return paste(QClipboard::Clipboard);
    const QString text = event->text();
    const bool typing = !text.isEmpty() && text.front() >= QChar(0x20) && text.front() != QChar(0x7f) &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (!typing) return QLineEdit::keyPressEvent(event);
    for (const char32_t c : text.toUcs4()) typeCharacter(c, (event->modifiers() & Qt::ShiftModifier) != 0);
}

void Entry::inputMethodEvent(QInputMethodEvent* event) {
    for (const char32_t c : event->commitString().toUcs4()) typeCharacter(c, false);
    event->accept();
}

void Entry::typeCharacter(char32_t c, bool shift) {
    std::optional<unsigned char> byte = codepage::fromUnicode(c);
    if (byte && !fontMetrics().inFontUcs4(c)) byte.reset();
    std::optional<unsigned char> before;
    const qsizetype at = hasSelectedText() ? selectionStart() : cursorPosition();
    if (at > 0) before = codepage::fromUnicode(text().at(at - 1).unicode());
    const entry::Typed typed =
        entry::type({byte, shift}, before, lengthWithoutSelection(), limit_, capitalise_);
    switch (typed.outcome) {
        case entry::Outcome::Insert:
            insert(toQString(std::string_view(&typed.byte, 1)));
            window_.edited(feq_);
            break;
        case entry::Outcome::Refuse: window_.beep(); break;
        case entry::Outcome::Ignore: break;
    }
}

void Entry::paste(QClipboard::Mode mode) {
    QString clip = QGuiApplication::clipboard()->text(mode);
    for (qsizetype at = 0; at < clip.size(); ++at)
        if (clip[at] == u'\r' || clip[at] == u'\n') {
            clip.truncate(at);
            break;
        }
    std::optional<std::string> bytes = toBytes(clip);
    for (const char32_t c : clip.toUcs4())
        if (!codepage::fromUnicode(c) || !fontMetrics().inFontUcs4(c)) bytes.reset();
    const std::optional<std::string> accepted = entry::paste(bytes, lengthWithoutSelection(), limit_);
    if (!accepted) return window_.beep();
    insert(toQString(*accepted));
    window_.edited(feq_);
}

void Entry::focusInEvent(QFocusEvent* event) {
    limit_ = window_.limit(feq_, static_cast<std::size_t>(text().size()));
    QLineEdit::focusInEvent(event);
}

void Entry::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    window_.focusLost(feq_);
}

void Entry::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste")) continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, this, [this] { paste(QClipboard::Clipboard); });
    }
    menu->exec(event->globalPos());
}

void Entry::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection())
        return paste(QClipboard::Selection);
    QLineEdit::mouseReleaseEvent(event);
}

// --- the window

QtWindow::QtWindow(const WindowDefinition& definition, std::span<const Variable> variables,
                   QtRuntime::Beep beep, const std::optional<QFont>& baseFont)
    : WindowBase(definition, variables),
      beep_(std::move(beep)),
      fonts_(loadFonts()),
      base_(measure(baseFont.value_or(fonts_.base))),
      frame_(std::make_unique<Frame>(*this)) {
    frame_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    frame_->setWindowTitle(toQString(definition.title));
    frame_->setWindowIcon(QIcon(QStringLiteral(":/") + toQString(definition.icon)));
    frame_->setFixedSize(toPixelsX(definition.width, base_), toPixelsY(definition.height, base_));
    QPalette face = frame_->palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));  // the 3-D face colour
    frame_->setPalette(face);
    frame_->setAutoFillBackground(true);
    frame_->installEventFilter(this);

    for (const Control& c : definition.controls) widgets_.push_back(build(c));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        const Point at =
            centred({desk.x(), desk.y(), desk.width(), desk.height()}, frame_->width(), frame_->height());
        frame_->move(at.x, at.y);
    }
    start();
    frame_->show();
    frame_->activateWindow();
}

QtWindow::~QtWindow() {
    close();
}

const QFont& QtWindow::fontOf(const Control& c) const {
    // A control that declares no font takes its page's, which takes its sheet's.
    for (const Control* at = &c;; at = &definition().control(at->parent)) {
        if (at->font == Font::Bold) return fonts_.bold;
        if (at->font == Font::Regular || at->parent == 0) return fonts_.regular;
    }
}

QWidget* QtWindow::build(const Control& c) {
    QWidget* w = nullptr;
    const QString text = toQString(c.text);
    switch (c.kind) {
        case Kind::Page: return nullptr;
        case Kind::String:
        case Kind::Prompt: {
            auto* label = new QLabel(text, frame_.get());
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // text starts at the control's top
            if (c.attributes & kIndent) label->setIndent(toPixelsX(4, base_));
            w = label;
            break;
        }
        case Kind::Image: w = new QLabel(frame_.get()); break;
        case Kind::Sheet: {
            auto* sheet = new QFrame(frame_.get());
            sheet->setFrameStyle(QFrame::Panel | QFrame::Raised);
            w = sheet;
            break;
        }
        case Kind::Panel: {
            auto* line = new QFrame(frame_.get());
            line->setFrameStyle(QFrame::HLine | QFrame::Sunken);  // one dark and one light line: etched
            w = line;
            break;
        }
        case Kind::Entry: {
            auto* entry = new Entry(*this, c.feq, (c.attributes & kCapitalise) != 0, frame_.get());
            entry->setTextMargins(toPixelsX(1, base_), 0, 0, 0);
            entry->setToolTip(toQString(c.tip));
            QObject::connect(entry, &QLineEdit::textChanged, this, [this, feq = c.feq] { entryEdited(feq); });
            entry->installEventFilter(this);
            w = entry;
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(text, frame_.get());
            button->setAutoDefault(false);
            QObject::connect(button, &QPushButton::clicked, this,
                             [this, feq = c.feq] { buttonPressed(feq); });
            button->installEventFilter(this);
            w = button;
            break;
        }
    }
    w->setObjectName(toQString(c.name));
    w->setFont(fontOf(c));
    if (c.kind != Kind::Entry && c.kind != Kind::Button) w->setFocusPolicy(Qt::NoFocus);
    PixelRect r = toPixels(c.x, c.y, c.width == kFit ? 0 : c.width, c.height == kFit ? 0 : c.height, base_);
    const QFontMetrics m(w->font());
    if (c.width == kFit) r.width = m.horizontalAdvance(text);
    if (c.height == kFit) r.height = m.height();
    w->setGeometry(r.x, r.y, r.width, r.height);
    return w;
}

// Keys the window handles itself, whichever control has the focus.
bool QtWindow::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: enterPressed(); return true;
        case Qt::Key_Escape: closeRequested(); return true;
        case Qt::Key_Tab: tabPressed((key->modifiers() & Qt::ShiftModifier) != 0); return true;
        case Qt::Key_Backtab: tabPressed(true); return true;
        default: return false;
    }
}

void QtWindow::showVisible(int feq, bool visible) {
    if (QWidget* w = widget(feq)) w->setVisible(visible);
}

void QtWindow::showEnabled(int feq, bool enabled) {
    if (QWidget* w = widget(feq)) w->setEnabled(enabled);
}

void QtWindow::showDefault(int feq, bool isDefault) {
    if (auto* button = qobject_cast<QPushButton*>(widget(feq))) button->setDefault(isDefault);
}

void QtWindow::showPicture(int feq, const PictureSource& source) {
    auto* label = qobject_cast<QLabel*>(widget(feq));
    if (!label) return;
    QPixmap picture;
    const QString resource = QStringLiteral(":/") + QString::fromStdString(source.resource);
    if (!QFile::exists(resource) || !picture.load(resource))
        picture.load(QString::fromStdString(source.file));
    label->setPixmap(picture);
    const Control& c = definition().control(feq);
    if (c.width == kFit || c.height == kFit)
        label->resize(c.width == kFit ? picture.width() : label->width(),
                      c.height == kFit ? picture.height() : label->height());
}

void QtWindow::showText(int feq, std::string_view text) {
    QWidget* w = widget(feq);
    if (auto* entry = qobject_cast<QLineEdit*>(w)) {
        const QSignalBlocker quiet(entry);  // a refresh is not an edit
        entry->setText(toQString(text));
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(toQString(text));
    }
}

std::string QtWindow::entryText(int feq) const {
    const auto* entry = qobject_cast<QLineEdit*>(widget(feq));
    return entry ? toBytes(entry->text()) : std::string();
}

int QtWindow::focusedControl() const {
    const QWidget* focus = frame_ ? frame_->focusWidget() : nullptr;
    for (std::size_t i = 0; focus && i < widgets_.size(); ++i)
        if (widgets_[i] == focus) return static_cast<int>(i) + 1;
    return 0;
}

void QtWindow::moveFocus(int feq) {
    if (QWidget* w = widget(feq)) w->setFocus(Qt::TabFocusReason);
}

void QtWindow::close() {
    if (!frame_) return;
    const std::unique_ptr<Frame> frame = std::move(frame_);  // from here on, the window is closing
    widgets_.assign(widgets_.size(), nullptr);
    frame->closing = true;
    frame->close();
}

}  // namespace

QtRuntime::QtRuntime(Beep beep, std::optional<QFont> baseFont)
    : beep_(std::move(beep)), baseFont_(std::move(baseFont)) {}

std::unique_ptr<Window> QtRuntime::open(const WindowDefinition& definition,
                                        std::span<const Variable> variables) {
    return std::make_unique<QtWindow>(definition, variables, beep_, baseFont_);
}

}  // namespace ui::qt
