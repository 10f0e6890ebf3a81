#pragma once
// Notices as message boxes.

#include <string_view>

#include "log/notifier.h"

namespace brindlecast {

class MessageBoxNotifier final : public Notifier {
public:
    /// Shows an OK-only box without an owner window, modal to the whole
    /// program, and returns when the user has closed it.
    void notify(std::string_view text, std::string_view caption) override;
};

}  // namespace brindlecast
