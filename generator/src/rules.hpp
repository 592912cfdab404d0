// rules.hpp - the skeleton language: twelve rules in two start states, in priority order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "record.hpp"

namespace strandel {

enum class StartState : std::uint8_t { Text, FileName };

enum class Pattern : std::uint8_t {
    Literal,        // the rule's text, exactly
    AnyButNewline,  // one byte other than '\n'
    NameRun,        // one or more of A-Z, a-z and '.'
};

enum class Action : std::uint8_t {
    WriteField,      // the field's text to the current output
    EnterFileName,   // a file directive begins; nothing written
    Echo,            // the matched bytes to the current output
    OpenNextOutput,  // the matched suffix names the next output file
    LeaveFileName,   // the directive line ends; nothing written
    Ignore,
};

struct Rule {
    int number;  // also the priority: on equal length the lower number wins
    StartState state;
    Pattern pattern;
    std::string_view text;  // for Pattern::Literal
    Action action;
    Field field;  // for Action::WriteField
};

inline constexpr std::array<Rule, 12> kRules{{
    {1, StartState::Text, Pattern::Literal, "@TEMPLATE_NAME_SHORT@", Action::WriteField, Field::NameShort},
    {2, StartState::Text, Pattern::Literal, "@TEMPLATE_NAME@", Action::WriteField, Field::NameLong},
    {3, StartState::Text, Pattern::Literal, "@SOURCE_LANGUAGE@", Action::WriteField, Field::Language},
    {4, StartState::Text, Pattern::Literal, "@DOCUMENT_EXTENSION@", Action::WriteField, Field::DocExt},
    {5, StartState::Text, Pattern::Literal, "@EXTERNAL_EXTENSION@", Action::WriteField, Field::ExternExt},
    {6, StartState::Text, Pattern::Literal, "@SOURCE_EXTENSION@", Action::WriteField, Field::SourceExt},
    {7, StartState::Text, Pattern::Literal, "+File:", Action::EnterFileName, {}},
    {8, StartState::Text, Pattern::Literal, "\n", Action::Echo, {}},
    {9, StartState::Text, Pattern::AnyButNewline, {}, Action::Echo, {}},
    {10, StartState::FileName, Pattern::NameRun, {}, Action::OpenNextOutput, {}},
    {11, StartState::FileName, Pattern::Literal, "\n", Action::LeaveFileName, {}},
    {12, StartState::FileName, Pattern::AnyButNewline, {}, Action::Ignore, {}},
}};

constexpr bool rulesAreInPriorityOrder() {
    for (std::size_t i = 0; i < kRules.size(); ++i)
        if (kRules[i].number != static_cast<int>(i) + 1) return false;
    return true;
}
static_assert(rulesAreInPriorityOrder(), "a rule's number is its place in kRules");

constexpr bool isNameChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.';
}

}  // namespace strandel
