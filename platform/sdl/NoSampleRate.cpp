// Linked into the programs only with SNICKIT_STATIC_SDL2. Debian's static
// SDL2 calls libsamplerate's functions directly (not through dlopen), so
// every program linking it needs libsamplerate.so.0 to start, 1.5 MB of
// resampling tables. SDL only uses them when SDL_AUDIO_RESAMPLING_MODE asks
// for another resampler than its own, and the sound player sets that hint to
// "default" with override priority before audio starts: they are never
// called. These stand-ins take their place in the link; should SDL call
// one all the same, src_new and src_simple fail, and SDL's audio streams
// then fall back on SDL's own resampler.
extern "C" {

struct SRC_STATE_tag;
struct SRC_DATA;

SRC_STATE_tag* src_new(int, int, int* error);
SRC_STATE_tag* src_delete(SRC_STATE_tag*);
int src_process(SRC_STATE_tag*, SRC_DATA*);
int src_reset(SRC_STATE_tag*);
int src_simple(SRC_DATA*, int, int);
const char* src_strerror(int);

namespace {
constexpr int kNotHere = 1;
}

SRC_STATE_tag* src_new(int, int, int* error) {
    if (error) *error = kNotHere;
    return nullptr;
}
SRC_STATE_tag* src_delete(SRC_STATE_tag*) { return nullptr; }
int src_process(SRC_STATE_tag*, SRC_DATA*) { return kNotHere; }
int src_reset(SRC_STATE_tag*) { return kNotHere; }
int src_simple(SRC_DATA*, int, int) { return kNotHere; }
const char* src_strerror(int) { return "this program is built without libsamplerate"; }

}  // extern "C"
