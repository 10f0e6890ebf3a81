#pragma once
// What a retrieval takes from its surroundings.

#include <string>

#include "log/log_sink.h"
#include "log/notifier.h"
#include "text/clock.h"

namespace brindlecast {

struct Environment {
    std::string resource_host;  ///< host[:port] of the resource library, over http://
    std::string preview_host;   ///< host[:port] of the document-preview server, over https://
    std::string run_directory;  ///< where files are saved, without a trailing "/"
    LogSink* log = nullptr;
    Notifier* notifier = nullptr;
    const Clock* clock = &system_clock();
    std::string ca_file;  ///< CA bundle for HTTPS downloads; empty: the system's trust store
};

}  // namespace brindlecast
