// What the module shares with its host process in memory, checked when it is compiled: the
// layout of the platform structures the filter reads and writes, and the calling convention of
// the COM methods the host calls. A 32-bit module cannot be run on the build machines, so a wrong
// size or a method the host calls with the wrong convention has to stop the build here rather
// than corrupt a 32-bit host.
//
// Methods that override a platform interface need no check of their own: the compiler refuses an
// override whose calling convention differs from the interface's. What it cannot see is an
// interface of ours that is declared with the wrong convention throughout; those are below.
#include <windows.h>
#include <mmreg.h>
#include <ocidl.h>
#include <strmif.h>

#include <cstddef>
#include <type_traits>

#include "conversion_params.h"
#include "unknown_base.h"

namespace brevin {
namespace {

// The structures as the filter touches them, field by field, with the 32-bit platform's offset
// or size first and the 64-bit platform's second.
#if defined(__i386__)
constexpr size_t ByPlatform(size_t bits32, size_t) { return bits32; }
#elif defined(__x86_64__)
constexpr size_t ByPlatform(size_t, size_t bits64) { return bits64; }
#else
#error "a Brevin module is built for i686 or x86_64"
#endif

static_assert(offsetof(AM_MEDIA_TYPE, majortype) == 0);
static_assert(offsetof(AM_MEDIA_TYPE, subtype) == 16);
static_assert(offsetof(AM_MEDIA_TYPE, bFixedSizeSamples) == 32);
static_assert(offsetof(AM_MEDIA_TYPE, bTemporalCompression) == 36);
static_assert(offsetof(AM_MEDIA_TYPE, lSampleSize) == 40);
static_assert(offsetof(AM_MEDIA_TYPE, formattype) == 44);
static_assert(offsetof(AM_MEDIA_TYPE, pUnk) == ByPlatform(60, 64));
static_assert(offsetof(AM_MEDIA_TYPE, cbFormat) == ByPlatform(64, 72));
static_assert(offsetof(AM_MEDIA_TYPE, pbFormat) == ByPlatform(68, 80));
static_assert(sizeof(AM_MEDIA_TYPE) == ByPlatform(72, 88));

static_assert(offsetof(AM_SAMPLE2_PROPERTIES, cbData) == 0);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, dwTypeSpecificFlags) == 4);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, dwSampleFlags) == 8);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, lActual) == 12);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, tStart) == 16);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, tStop) == 24);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId) == 32);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, pMediaType) == ByPlatform(36, 40));
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, pbBuffer) == ByPlatform(40, 48));
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, cbBuffer) == ByPlatform(44, 56));
static_assert(sizeof(AM_SAMPLE2_PROPERTIES) == ByPlatform(48, 64));

static_assert(offsetof(PROPPAGEINFO, cb) == 0);
static_assert(offsetof(PROPPAGEINFO, pszTitle) == ByPlatform(4, 8));
static_assert(offsetof(PROPPAGEINFO, size) == ByPlatform(8, 16));
static_assert(offsetof(PROPPAGEINFO, pszDocString) == ByPlatform(16, 24));
static_assert(offsetof(PROPPAGEINFO, pszHelpFile) == ByPlatform(20, 32));
static_assert(offsetof(PROPPAGEINFO, dwHelpContext) == ByPlatform(24, 40));
static_assert(sizeof(PROPPAGEINFO) == ByPlatform(28, 48));

// The wave formats are packed and the same on both platforms.
static_assert(offsetof(WAVEFORMATEX, wFormatTag) == 0);
static_assert(offsetof(WAVEFORMATEX, nChannels) == 2);
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, wBitsPerSample) == 14);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, Samples.wValidBitsPerSample) == 18);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, dwChannelMask) == 20);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, SubFormat) == 24);
static_assert(sizeof(WAVEFORMATEXTENSIBLE) == 40);

// The other structures the filter fills for its callers or hands to the system.
static_assert(sizeof(ALLOCATOR_PROPERTIES) == 16);
static_assert(offsetof(Quality, Late) == 8 && sizeof(Quality) == 24);
static_assert(offsetof(PIN_INFO, dir) == ByPlatform(4, 8));
static_assert(offsetof(PIN_INFO, achName) == ByPlatform(8, 12));
static_assert(offsetof(FILTER_INFO, pGraph) == 256);
static_assert(offsetof(CAUUID, pElems) == ByPlatform(4, 8));
static_assert(offsetof(REGFILTER2, dwMerit) == 4);
static_assert(offsetof(REGFILTER2, cPins) == 8);
static_assert(offsetof(REGFILTER2, rgPins) == ByPlatform(12, 16));
static_assert(offsetof(REGFILTERPINS, bRendered) == ByPlatform(4, 8));
static_assert(offsetof(REGFILTERPINS, clsConnectsToFilter) == ByPlatform(20, 24));
static_assert(offsetof(REGFILTERPINS, nMediaTypes) == ByPlatform(28, 40));
static_assert(sizeof(REGFILTERPINS) == ByPlatform(36, 56));
static_assert(sizeof(REGPINTYPES) == ByPlatform(8, 16));

// The function type of a member function, without its class: on the 32-bit platform it carries
// the calling convention, so two of them compare equal only when the conventions agree.
template <class Method>
struct MethodSignature;
template <class Function, class Class>
struct MethodSignature<Function Class::*> {
  using type = Function;
};
template <class Method>
using SignatureOf = typename MethodSignature<Method>::type;

// The inner IUnknown is handed to an aggregating object as an IUnknown: its three slots must be
// called exactly as IUnknown's are.
static_assert(std::is_same_v<SignatureOf<decltype(&InnerUnknown::InnerQueryInterface)>,
                             HRESULT STDMETHODCALLTYPE(REFIID, void**)>,
              "InnerQueryInterface must be called as IUnknown::QueryInterface is");
static_assert(std::is_same_v<SignatureOf<decltype(&InnerUnknown::InnerAddRef)>,
                             SignatureOf<decltype(&IUnknown::AddRef)>>,
              "InnerAddRef must be called as IUnknown::AddRef is");
static_assert(std::is_same_v<SignatureOf<decltype(&InnerUnknown::InnerRelease)>,
                             SignatureOf<decltype(&IUnknown::Release)>>,
              "InnerRelease must be called as IUnknown::Release is");

// The filter's own interface is called by property pages and hosts built elsewhere.
static_assert(std::is_same_v<SignatureOf<decltype(&IConversionParams::GetParams)>,
                             HRESULT STDMETHODCALLTYPE(int*)>,
              "IConversionParams methods use the COM calling convention");
static_assert(std::is_same_v<SignatureOf<decltype(&IConversionParams::SetParams)>,
                             HRESULT STDMETHODCALLTYPE(int, int)>,
              "IConversionParams methods use the COM calling convention");

}  // namespace
}  // namespace brevin
