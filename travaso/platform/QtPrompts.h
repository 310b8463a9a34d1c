#pragma once

#include "Prompts.h"

class QWidget;

namespace travaso {

// Prompts shown in the platform's standard message boxes.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Message(std::string_view text) override;
    void ErrorBox(std::string_view text) override;

private:
    QWidget* parent_;
};

}  // namespace travaso
