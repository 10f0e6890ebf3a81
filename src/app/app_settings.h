#pragma once
// What the desktop program takes from its surroundings; tests pass their own.

#include <string>

#include "text/clock.h"

namespace brindlecast {

struct AppSettings {
    std::string resource_host;  ///< host[:port] of the resource library, over http://
    std::string preview_host;   ///< host[:port] of the document-preview server, over https://
    std::string run_directory;  ///< CP936; where files are saved, without a trailing "/"
    std::string ca_file;        ///< CA bundle for HTTPS downloads; empty: the system's trust store
    const Clock* clock = &system_clock();
};

}  // namespace brindlecast
