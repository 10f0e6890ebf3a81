// Measures the text layer on a 50 MB answer-like text and prints each figure
// next to a plain baseline doing the same work (one raw iconv call, the
// standard library's find, a find-and-append replace loop), and the ratio.

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/cp936.h"
#include "text/text_ops.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double best_seconds(F&& work, int rounds = 3) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = Clock::now();
        work();
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        if (s < best) best = s;
    }
    return best;
}

void report(const char* what, std::size_t bytes, double ours, double peer) {
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("%-34s ours %8.1f MB/s  peer %8.1f MB/s  ratio ours/peer time %.2f\n", what,
                mb / ours, mb / peer, ours / peer);
}

std::string raw_iconv(std::string_view in) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    std::string out(in.size() + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    iconv(cd, &src, &src_left, &dst, &dst_left);
    out.resize(out.size() - dst_left);
    iconv_close(cd);
    return out;
}

std::string replace_all(std::string_view text, std::string_view find, std::string_view with) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    while (true) {
        const std::size_t hit = text.find(find, from);
        if (hit == std::string_view::npos) break;
        out.append(text, from, hit - from);
        out.append(with);
        from = hit + find.size();
    }
    out.append(text, from);
    return out;
}

}  // namespace

int main() {
    const std::size_t target = 50u * 1024 * 1024;
    std::string utf8;
    utf8.reserve(target + 256);
    const std::string record = R"({"id":"ff808081769a","title":"中国古代建筑与园林","value":12345},)";
    while (utf8.size() < target) utf8 += record;
    utf8 += R"("srcUrl":"/end.pdf")";

    brindlecast::Cp936Codec codec;
    std::string cp;
    std::string baseline;
    const double ours_codec = best_seconds([&] { cp = codec.to_cp936(utf8); });
    const double peer_codec = best_seconds([&] { baseline = raw_iconv(utf8); });
    if (cp != baseline) std::printf("MISMATCH between codec and raw iconv\n");
    report("UTF-8 -> CP936 (50 MB)", utf8.size(), ours_codec, peer_codec);

    std::string back;
    const double ours_back = best_seconds([&] { back = codec.to_utf8(cp); });
    if (back != utf8) std::printf("MISMATCH on the way back\n");
    report("CP936 -> UTF-8 (codec, peer = forward)", cp.size(), ours_back, peer_codec);

    volatile long long sink = 0;
    const double ours_locate = best_seconds([&] { sink = brindlecast::locate(cp, "srcUrl\":"); });
    const double peer_locate = best_seconds([&] { sink = static_cast<long long>(std::string_view(cp).find("srcUrl\":")); });
    report("locate, needle at the end", cp.size(), ours_locate, peer_locate);

    const double ours_ci = best_seconds([&] { sink = brindlecast::locate(cp, "SRCURL\":", 1, true); });
    const double peer_ci = best_seconds([&] {
        const std::string_view needle = "SRCURL\":";
        const auto fold = [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        };
        sink = std::search(cp.begin(), cp.end(), needle.begin(), needle.end(), fold) - cp.begin();
    });
    report("locate ignoring case (vs std::search)", cp.size(), ours_ci, peer_ci);

    std::string replaced;
    const double ours_sub = best_seconds(
        [&] { replaced = brindlecast::substitute(cp, "\"id\"", "\"key\"", 1, std::nullopt, true); });
    const double peer_sub = best_seconds([&] { baseline = replace_all(cp, "\"id\"", "\"key\""); });
    if (replaced != baseline) std::printf("MISMATCH between substitute and replace loop\n");
    report("substitute, one hit per record", cp.size(), ours_sub, peer_sub);

    const double ours_last = best_seconds([&] { sink = brindlecast::locate_last(cp, "\"title\""); });
    const double peer_last = best_seconds([&] { sink = static_cast<long long>(std::string_view(cp).rfind("\"title\"")); });
    report("locate_last (vs rfind)", cp.size(), ours_last, peer_last);
    (void)sink;
    return 0;
}
