#pragma once

#include "Albero.h"

#include <string>

namespace travaso {

// What the copy window takes from the system; tests hand in their own.
struct CopierEnvironment {
    std::string executablePath;  // the program itself: skipped by the copy, recognised by its exact path
    std::string targetRoot;      // where the target directory is made, without a trailing "/"
    std::size_t treeCapacity = DefaultTreeCapacity;

    static CopierEnvironment FromSystem();
};

}  // namespace travaso
