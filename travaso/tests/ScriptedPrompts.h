#pragma once

#include "Prompts.h"

#include <functional>
#include <string>
#include <vector>

namespace travaso {

// Records every message instead of showing it; every box is answered with OK.
class ScriptedPrompts : public Prompts {
public:
    void Message(std::string_view text) override { messages.emplace_back(text); }
    void ErrorBox(std::string_view text) override
    {
        if (onError)
            onError();
        errors.emplace_back(text);
    }

    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::function<void()> onError;  // runs as the box would open
};

}  // namespace travaso
