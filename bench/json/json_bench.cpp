// Times JsonDocument against nlohmann::json in the same run:
//  1. parse of a realistic detail answer plus the workflow's five reads;
//  2. parse of a 50 MB document.
// JsonDocument reads the CP936 text the workflow hands it; nlohmann::json
// reads the same content as UTF-8, its own input form.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "json/json_document.h"
#include "text/cp936.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kPaths[] = {"data.attrs[0].value", "data.attrs[4].value", "data.attrs[9].value",
                              "data.attrs[10].value", "data.attrs[11].value"};
const int kIndexes[] = {0, 4, 9, 10, 11};

std::string escaped(const std::string& s) { return nlohmann::json(s).dump(); }

// One case record as the library's detail query answers it (UTF-8).
std::string detail_answer(int n) {
    const std::string id = "3f2a9c0e5b7d41c8a6e2f01b9d4c" + std::to_string(1000 + n % 9000);
    std::string attrs;
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"title", "城市社区治理中的多元主体协同机制研究——以某市" + std::to_string(n) + "号街道为例"},
        {"subject", "公共管理"},
        {"keywords", "社区治理；协同机制；多元主体；基层治理"},
        {"publishDate", "2020-07-20"},
        {"author", "王晓明，李华，张伟"},
        {"organization", "某某大学公共管理学院"},
        {"abstract",
         "本案例描述了某市街道在推进社区治理过程中，如何通过建立居民议事会、引入社会组织、"
         "搭建数字化平台等方式，推动政府、市场、社会多元主体协同参与，并分析了其中遇到的困难与对策。"
         "案例适用于公共管理硕士课程中的基层治理、公共服务与社会治理创新等专题教学。"},
        {"pages", "24"},
        {"language", "zh-CN"},
        {"preview", "https://preview.example.org/view/" + id},
        {"video1", "v" + id.substr(0, 20) + "a"},
        {"video2", "v" + id.substr(0, 20) + "b"},
        {"copyright", "本案例版权归作者所有，仅供教学使用。"},
        {"tags", "教学案例|公共管理|治理\\创新"},
    };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) attrs += ',';
        attrs += R"({"id":)" + std::to_string(100 + i) + R"(,"name":)" + escaped(fields[i].first) +
                 R"(,"label":)" + escaped("字段" + std::to_string(i)) + R"(,"value":)" +
                 escaped(fields[i].second) + R"(,"visible":true,"order":)" + std::to_string(i * 1.5) + "}";
    }
    return R"({"code":0,"message":"success","data":{"id":")" + id +
           R"(","type":"case","status":1,"createTime":1595246400000,"updateTime":1595250000123,)"
           R"("score":4.75,"views":12873,"category":{"id":7,"name":"公共管理","path":[1,3,7]},)"
           R"("attrs":[)" + attrs + R"(],"files":[{"key":"k1","type":"pdf","size":1048576},)"
           R"({"key":"k2","type":"mp4","size":73400320}],"extra":null}})";
}

template <typename Work>
double best_seconds(int reps, Work work) {
    double best = 1e30;
    for (int r = 0; r < reps; ++r) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    using brindlecast::JsonDocument;
    std::size_t sink = 0;

    // 1. Detail answer plus five reads.
    const std::string detail_utf8 = detail_answer(1);
    const std::string detail_cp936 = brindlecast::utf8_to_cp936(detail_utf8);
    {
        JsonDocument check;
        if (!check.parse(detail_cp936) || check.get_value(kPaths[0]).empty()) {
            std::fprintf(stderr, "json_bench: the detail answer did not read\n");
            return 1;
        }
    }
    const int rounds = 20000;
    JsonDocument doc;
    const double ours = best_seconds(5, [&] {
        for (int i = 0; i < rounds; ++i) {
            doc.parse(detail_cp936);
            for (const char* path : kPaths) sink += doc.get_value(path).size();
        }
    });
    const double peer = best_seconds(5, [&] {
        for (int i = 0; i < rounds; ++i) {
            const nlohmann::json j = nlohmann::json::parse(detail_utf8);
            const nlohmann::json& attrs = j.at("data").at("attrs");
            for (int index : kIndexes) sink += attrs.at(index).at("value").get<std::string>().size();
        }
    });
    std::printf("detail answer (%zu bytes CP936, %zu bytes UTF-8): parse + 5 reads\n",
                detail_cp936.size(), detail_utf8.size());
    std::printf("  JsonDocument    %10.0f answers/s  (%.2f us each)\n", rounds / ours, ours / rounds * 1e6);
    std::printf("  nlohmann::json  %10.0f answers/s  (%.2f us each)\n", rounds / peer, peer / rounds * 1e6);
    std::printf("  ratio           %10.2fx  (JsonDocument rate / nlohmann::json rate)\n", peer / ours);

    // 2. A 50 MB document: an array of such answers.
    std::string big_utf8 = "[";
    for (int n = 0; big_utf8.size() < 50u * 1000 * 1000; ++n) {
        if (n) big_utf8 += ',';
        big_utf8 += detail_answer(n);
    }
    big_utf8 += ']';
    const std::string big_cp936 = brindlecast::utf8_to_cp936(big_utf8);
    const double big_ours = best_seconds(3, [&] {
        JsonDocument big;
        if (!big.parse(big_cp936)) std::fprintf(stderr, "json_bench: the big document did not read\n");
        sink += static_cast<std::size_t>(big.count(""));
    });
    const double big_peer = best_seconds(3, [&] {
        const nlohmann::json j = nlohmann::json::parse(big_utf8);
        sink += j.size();
    });
    const double mb = static_cast<double>(big_utf8.size()) / 1e6;
    std::printf("50 MB document (%.1f MB UTF-8, %.1f MB CP936): parse\n", mb,
                static_cast<double>(big_cp936.size()) / 1e6);
    std::printf("  JsonDocument    %8.3f s  (%.1f MB/s of the UTF-8 size)\n", big_ours, mb / big_ours);
    std::printf("  nlohmann::json  %8.3f s  (%.1f MB/s)\n", big_peer, mb / big_peer);
    std::printf("  ratio           %8.2fx  (nlohmann::json time / JsonDocument time)\n", big_peer / big_ours);
    return sink == 42 ? 2 : 0;
}
