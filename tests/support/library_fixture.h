#pragma once
// The demo library on two loopback servers (resource over HTTP, preview over
// HTTPS) and an environment pointing a retrieval at them, saving into a
// fresh folder.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "demo_library.h"
#include "fixed_clock.h"
#include "loopback_server.h"
#include "recorders.h"
#include "workflow/environment.h"

namespace brindlecast::testing {

class LibraryFixture {
public:
    /// Serves catalogue; the run directory is a new empty folder.
    explicit LibraryFixture(demo::Catalogue catalogue);
    ~LibraryFixture();

    Environment& environment() { return environment_; }
    demo::DemoLibrary& library() { return *library_; }
    const std::filesystem::path& run_directory() const { return run_directory_; }
    std::string resource_host() const { return resource_.host(); }
    std::string preview_host() const { return preview_.host(); }

    /// The log so far as UTF-8 lines with their stamps and CR LF.
    std::vector<std::string> log_lines() const;
    /// The log so far without stamps, ": " and CR LF; progress lines left out.
    std::vector<std::string> messages_without_progress() const;
    /// How many progress lines the log holds.
    std::size_t progress_line_count() const;

    RecordingLogSink log;
    RecordingNotifier notifier;
    FixedClock clock{LocalDateTime{2026, 12, 9, 14, 5, 9, 7}};

private:
    LoopbackServer resource_{Scheme::http};
    LoopbackServer preview_{Scheme::https};
    std::unique_ptr<demo::DemoLibrary> library_;
    std::filesystem::path run_directory_;
    Environment environment_;
};

/// The stamp every line of a LibraryFixture log starts with, ": " included.
inline constexpr const char* kFixtureStamp = "12/9 14:05:09: ";

}  // namespace brindlecast::testing
