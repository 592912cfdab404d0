// qt_runtime.hpp - the UI runtime on Qt 6 Widgets.
#pragma once

#include <QFont>

#include <functional>
#include <memory>
#include <optional>

#include "runtime/window.hpp"

namespace ui::qt {

class QtRuntime final : public Runtime {
public:
    using Beep = std::function<void()>;

    // Needs a QApplication. `beep` sounds when an entry refuses a character; `baseFont` replaces
    // the System font that the dialog units are measured from.
    explicit QtRuntime(Beep beep = {}, std::optional<QFont> baseFont = std::nullopt);

    std::unique_ptr<Window> open(const WindowDefinition& definition,
                                 std::span<const Variable> variables) override;

private:
    Beep beep_;
    std::optional<QFont> baseFont_;
};

}  // namespace ui::qt
