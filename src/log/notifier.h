#pragma once
// Modal notices to the user: a message box in the window, standard error in
// the command line, a recorder in tests.

#include <string_view>

namespace brindlecast {

class Notifier {
public:
    virtual ~Notifier() = default;
    /// Shows text under caption (both code page 936) and returns once the user
    /// has seen it.
    virtual void notify(std::string_view text, std::string_view caption) = 0;
};

}  // namespace brindlecast
