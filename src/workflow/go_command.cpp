#include "workflow/go_command.h"

#include "log/activity_log.h"
#include "text/cp936.h"
#include "text/markers.h"

namespace brindlecast {

std::string extract_case_id(std::string_view entered_address) {
    return text_right_of(entered_address, "id=");
}

std::string invalid_address_message(std::string_view resource_host) {
    return cp936("链接非法,请检查链接正确性.\r\n示例: http://") + std::string(resource_host) +
           "/cases?id=ff808081769a6f150176a809d8d4049d";
}

GoOutcome run_go_command(std::string_view entered_address, const Environment& environment) {
    GoOutcome outcome;
    const std::string case_id = extract_case_id(entered_address);
    if (case_id.empty()) {
        append_log(*environment.log, invalid_address_message(environment.resource_host),
                   *environment.clock);
        outcome.kind = GoOutcome::Kind::invalid_address;
        return outcome;
    }
    outcome.result = fetch_resources(case_id, environment, &outcome.report);
    if (outcome.result.empty()) {
        append_log(*environment.log, cp936("获取失败"), *environment.clock);
        outcome.kind = GoOutcome::Kind::failed;
    } else {
        outcome.kind = GoOutcome::Kind::succeeded;
    }
    return outcome;
}

}  // namespace brindlecast
