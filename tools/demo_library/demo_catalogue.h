#pragma once
// The standard demo entries, served by brindlecast-demo-library and used by
// the end-to-end tests and the benchmarks. Case ids and what each drives:
//
//   kCaseFull            ff808081769a6f150176a809d8d4049d  title "案例研究：城市更新", author "张三",
//                        a 3-page PDF and two small videos (city-renewal-1.mp4, city-renewal-2.mp4)
//   kCaseNoVideos        ff808081769a6f150176a809d8d40001  ten attrs: PDF only, both video keys missing
//   kCaseDetailNotJson   ff808081769a6f150176a809d8d40002  detail answer is an HTML error page (502)
//   kCaseDetailEmpty     ff808081769a6f150176a809d8d40003  detail answer is an empty body
//   kCaseNoTitle         ff808081769a6f150176a809d8d40004  title "" (PDF saved as ".pdf"), no videos
//   kCaseNoAuthor        ff808081769a6f150176a809d8d40005  author null, no videos
//   kCaseNoPreview       ff808081769a6f150176a809d8d40006  preview null; video 1 is city-renewal-1
//   kCaseConfigNotJson   ff808081769a6f150176a809d8d40007  preview configuration is an HTML 404 page
//   kCaseNoSrcUrl        ff808081769a6f150176a809d8d40008  configuration without srcUrl
//   kCasePdfNotFound     ff808081769a6f150176a809d8d40009  the PDF answers 404
//   kCasePdfCut          ff808081769a6f150176a809d8d4000a  the PDF connection is cut after 30000 of its bytes
//   kCaseFileQueryNotJson ff808081769a6f150176a809d8d4000b video 1: file query answers an HTML page
//   kCaseRecordObject    ff808081769a6f150176a809d8d4000c  video 1: data[0] is an object, not a string
//   kCaseNoFileData      ff808081769a6f150176a809d8d4000d  video 1: file query answer without data
//   kCaseHttpUrlEmpty    ff808081769a6f150176a809d8d4000e  video 1: httpURL is ""
//   kCaseMetaNotJson     ff808081769a6f150176a809d8d4000f  video 1: meta.json answers an HTML page
//   kCaseVideoCut        ff808081769a6f150176a809d8d40010  video 1: connection cut after 40000 of its bytes
//   kCaseUnsafeNames     ff808081769a6f150176a809d8d40011  title "../../案例/研究"; video file names
//                        "../escape.mp4" and "sub/dir.mp4"
//   kCaseSameVideoTwice  ff808081769a6f150176a809d8d40012  both video keys are city-renewal-1
//   kCaseUpperCasePreview ff808081769a6f150176a809d8d40013 preview address "HTTPS://HOST/VIEW/shared-doc"
//   kCaseShortAttrs      ff808081769a6f150176a809d8d40014  only three attrs: no author, preview or videos
//   kCaseLarge           ff808081769a6f150176a809d8d400b1  a 20 MiB PDF and two 100 MiB videos (benchmarks)
//   kCaseHugeVideo       ff808081769a6f150176a809d8d400b2  no preview, one 200 MiB video (benchmarks)
//
// Unless said otherwise an entry has a title, an author and the 3-page PDF
// "shared-doc" (/files/shared-doc.pdf); the failing video entries have
// city-renewal-2 as video 2, so the second branch runs after a failed first.
// Large files are generated while streamed, never held in memory.

#include <string>

#include "catalogue.h"

namespace brindlecast::demo {

inline constexpr const char* kCaseFull = "ff808081769a6f150176a809d8d4049d";
inline constexpr const char* kCaseNoVideos = "ff808081769a6f150176a809d8d40001";
inline constexpr const char* kCaseDetailNotJson = "ff808081769a6f150176a809d8d40002";
inline constexpr const char* kCaseDetailEmpty = "ff808081769a6f150176a809d8d40003";
inline constexpr const char* kCaseNoTitle = "ff808081769a6f150176a809d8d40004";
inline constexpr const char* kCaseNoAuthor = "ff808081769a6f150176a809d8d40005";
inline constexpr const char* kCaseNoPreview = "ff808081769a6f150176a809d8d40006";
inline constexpr const char* kCaseConfigNotJson = "ff808081769a6f150176a809d8d40007";
inline constexpr const char* kCaseNoSrcUrl = "ff808081769a6f150176a809d8d40008";
inline constexpr const char* kCasePdfNotFound = "ff808081769a6f150176a809d8d40009";
inline constexpr const char* kCasePdfCut = "ff808081769a6f150176a809d8d4000a";
inline constexpr const char* kCaseFileQueryNotJson = "ff808081769a6f150176a809d8d4000b";
inline constexpr const char* kCaseRecordObject = "ff808081769a6f150176a809d8d4000c";
inline constexpr const char* kCaseNoFileData = "ff808081769a6f150176a809d8d4000d";
inline constexpr const char* kCaseHttpUrlEmpty = "ff808081769a6f150176a809d8d4000e";
inline constexpr const char* kCaseMetaNotJson = "ff808081769a6f150176a809d8d4000f";
inline constexpr const char* kCaseVideoCut = "ff808081769a6f150176a809d8d40010";
inline constexpr const char* kCaseUnsafeNames = "ff808081769a6f150176a809d8d40011";
inline constexpr const char* kCaseSameVideoTwice = "ff808081769a6f150176a809d8d40012";
inline constexpr const char* kCaseUpperCasePreview = "ff808081769a6f150176a809d8d40013";
inline constexpr const char* kCaseShortAttrs = "ff808081769a6f150176a809d8d40014";
inline constexpr const char* kCaseLarge = "ff808081769a6f150176a809d8d400b1";
inline constexpr const char* kCaseHugeVideo = "ff808081769a6f150176a809d8d400b2";

inline constexpr const char* kDefaultResourceHost = "127.0.0.1:18080";
inline constexpr const char* kDefaultPreviewHost = "127.0.0.1:18443";

/// The catalogue described above.
Catalogue demo_catalogue();

/// The 3-page PDF of the full entry, byte for byte what the preview server sends.
std::string demo_full_pdf();

/// The certificate the program serves HTTPS with (its own CA, for 127.0.0.1
/// and localhost), and its key.
std::string demo_certificate_path();
std::string demo_key_path();

}  // namespace brindlecast::demo
