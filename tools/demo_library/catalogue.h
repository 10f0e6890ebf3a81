#pragma once
// What the demo library serves, as plain data that tests build freely. Every
// piece that can go wrong on the real servers has a switch or an override.
//
// Texts in answers may hold the placeholders "{resource_host}" and
// "{preview_host}"; the serving DemoLibrary replaces them by its hosts, so
// entries can be written before the ports are known.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "payload.h"

namespace brindlecast::demo {

inline constexpr const char* kResourceHostPlaceholder = "{resource_host}";
inline constexpr const char* kPreviewHostPlaceholder = "{preview_host}";

/// A hand-written answer that replaces a generated one: an HTML error page,
/// an empty body, another status.
struct RawAnswer {
    int status = 200;
    std::string content_type = "application/json;charset=UTF-8";
    std::string body;

    static RawAnswer html_error_page(int status);
    static RawAnswer empty();
};

/// One case of the library, answered by the detail query for its id.
/// The generated answer is {"code":0,...,"data":{"id":...,"attrs":[{"name":..,"value":..}, ...]}}
/// with attr_count attributes; title, author, preview address and video keys
/// sit at indexes 0, 4, 9, 10 and 11, a field left nullopt gives "value":null.
struct CaseEntry {
    std::optional<std::string> title;
    std::optional<std::string> author;
    std::optional<std::string> preview;     ///< e.g. preview_address("doc1")
    std::optional<std::string> video_key1;
    std::optional<std::string> video_key2;
    int attr_count = 12;
    std::optional<RawAnswer> raw_detail;    ///< served instead of the generated answer
};

/// A document of the preview server: its configuration at /content/<name>.json.
/// The generated configuration is {"srcUrl":...,"type":"pdf",...}; src_url
/// nullopt leaves the member out.
struct PreviewDocument {
    std::optional<std::string> src_url;
    std::optional<RawAnswer> raw_config;
};

/// How the file query gives its first record.
enum class FileRecordShape {
    string_holding_json,  ///< "data":["{\"httpURL\":...}"], the form the client can follow
    object,               ///< "data":[{"httpURL":...}]
    no_data,              ///< no member data at all
};

/// A video of the resource library, found by its key. Its description file is
/// served at directory + meta_name and the video at directory + filename
/// (dot segments resolved, as a client resolves them).
struct VideoEntry {
    FileRecordShape shape = FileRecordShape::string_holding_json;
    std::optional<RawAnswer> raw_file_query;  ///< served instead of the generated file query answer
    std::string directory;                    ///< empty: "/videos/<key>/"
    std::string meta_name = "meta.json";
    std::optional<std::string> http_url;      ///< nullopt: "http://{resource_host}" + directory + meta_name
    std::string filename = "clip.mp4";        ///< levels.ori.list[0].filename of the description
    std::optional<RawAnswer> raw_meta;        ///< served instead of the generated description
    Payload video = Payload::generated(64 * 1024, 1, "video/mp4");
};

struct Catalogue {
    std::map<std::string, CaseEntry> cases;           ///< by case id
    std::map<std::string, PreviewDocument> previews;  ///< by name, the part after "/view/"
    std::map<std::string, Payload> preview_files;     ///< files of the preview server, by path ("/files/doc1.pdf")
    std::map<std::string, VideoEntry> videos;         ///< by video key

    /// Adds a preview document whose srcUrl is "/files/<name>.pdf", served as pdf.
    void add_document(const std::string& name, Payload pdf);
};

/// "https://{preview_host}/view/<name>": the preview address of a document.
std::string preview_address(const std::string& name);
/// The directory a video is served from: entry.directory, or "/videos/<key>/".
std::string video_directory(const std::string& key, const VideoEntry& entry);

// The generated answers, before placeholders are replaced.
std::string detail_answer(const std::string& case_id, const CaseEntry& entry);
std::string preview_config_answer(const std::string& name, const PreviewDocument& document);
std::string file_query_answer(const std::string& key, const VideoEntry& entry);
std::string description_answer(const VideoEntry& entry);

/// A JSON string literal, quotes included; UTF-8 passes through unescaped.
std::string json_quote(const std::string& text);

}  // namespace brindlecast::demo
