#pragma once
// The metafile libraries, opened at run time, and what their users share.
#include <QString>

#include <cstdlib>
#include <memory>
#include <mutex>

#include <emf2svg.h>
#include <uemf.h>
#include <uemf_safe.h>
#include <uwmf.h>

namespace platform::codecs {

// Metafiles are read and written at the screen resolution the program measures in.
inline constexpr double kDpi = 96.0;
// The reference device our EMF headers name: 960 pixels on 254 mm, that is 96 dpi.
inline constexpr int kRefDevicePixels = 960;
inline constexpr int kRefDeviceMm = 254;

// libuemf keeps part of its state in globals (the WMF object high-water mark, a record
// property table), so one metafile is built or converted at a time.
std::mutex &metafileMutex();

// libemf2svg and libuemf are opened privately (RTLD_LOCAL) instead of being linked: libuemf
// exports a function wmf_free, and so does libwmf, which ImageMagick loads to read WMF. With
// libuemf in the process-wide symbol scope, libwmf's own calls of wmf_free land in libuemf
// and crash. Opened privately, each library keeps its own.
struct MetafileLibraries {
// clang-format off
#define PELMORA_METAFILE_FUNCTIONS(X) \
    X(emf2svg) X(RGBA_to_DIB) X(bitmapinfoheader_set) X(bitmapinfo_set) \
    X(U_emf_record_safe) X(emf_start) X(emf_finish) X(emf_free) \
    X(emf_append) X(emf_htable_create) X(emf_htable_free) X(U_EMRHEADER_set) \
    X(U_EMRSETSTRETCHBLTMODE_set) X(U_EMRSTRETCHDIBITS_set) X(U_EMREOF_set) X(wmf_start) \
    X(wmf_finish) X(wmf_free) X(wmf_append) X(wmf_header_append) \
    X(U_PAIRF_set) X(U_WMRHEADER_set) X(U_WMRSETMAPMODE_set) X(U_WMRSETWINDOWORG_set) \
    X(U_WMRSETWINDOWEXT_set) X(U_WMRSETSTRETCHBLTMODE_set) X(U_WMRSTRETCHDIB_set) X(U_WMREOF_set)
// clang-format on
#define PELMORA_DECLARE(name) decltype(&::name) name = nullptr;
    PELMORA_METAFILE_FUNCTIONS(PELMORA_DECLARE)
#undef PELMORA_DECLARE
};


// The function table, or null when a library or function is missing (the reason in *why).
const MetafileLibraries *metafileLibraries(QString *why);

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <class T> using CBuffer = std::unique_ptr<T, FreeDeleter>;

} // namespace platform::codecs
