#pragma once

#include <string_view>

namespace travaso {

// Every modal message of the copier goes through this interface: a Qt one in the program,
// a scripted one in tests.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A message box with an OK button.
    virtual void Message(std::string_view text) = 0;
    // The application's error box: the text of an error that ended a command.
    virtual void ErrorBox(std::string_view text) = 0;
};

}  // namespace travaso
