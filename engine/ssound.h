/* Lintavo speech-evaluation engine: offline pronunciation scoring.
 *
 * Call order: ssound_new once per caller object, then for each recording
 * ssound_start, any number of ssound_feed, ssound_stop; ssound_delete at the
 * end. Every started evaluation delivers exactly one message of type
 * SSOUND_MESSAGE_JSON to its callback, from the engine's own thread, and never
 * after ssound_delete has returned. See engine/README.md for the result. */
#ifndef LINTAVO_SSOUND_H
#define LINTAVO_SSOUND_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define SSOUND_EXPORT __declspec(dllexport)
#else
#define SSOUND_EXPORT __attribute__((visibility("default")))
#endif

#define SSOUND_MESSAGE_JSON 1

struct ssound;

/* message is NUL-terminated JSON text (ASCII; non-ASCII as \u escapes);
 * size is its length without the NUL. The return value is ignored. */
typedef int (*ssound_callback)(const void* usrdata, const char* id, int type, const void* message,
                               int size);

/* Creates an engine from a configuration JSON object; NULL when the text is
 * not a JSON object or the speech model cannot be loaded. */
SSOUND_EXPORT struct ssound* ssound_new(const char* cfg);

/* Deletes the engine. An evaluation still open ends with an error result;
 * one being scored is cancelled or finished first. Returns 0. */
SSOUND_EXPORT int ssound_delete(struct ssound* engine);

/* Opens an evaluation with a parameter JSON object and writes its id (at most
 * 63 characters and a NUL) into id, which must hold 64 bytes. An evaluation
 * still open on this engine ends with an error result first. Returns 0, or a
 * negative value when the parameters are unusable (the callback still gets
 * an error result). */
SSOUND_EXPORT int ssound_start(struct ssound* engine, const char* param, char* id,
                               ssound_callback callback, const void* usrdata);

/* Appends audio bytes (a WAV file, header included, possibly in pieces).
 * Returns 0, or a negative value without an open evaluation. */
SSOUND_EXPORT int ssound_feed(struct ssound* engine, const void* data, int size);

/* Ends the audio; scoring starts on the engine's thread. Returns 0, or a
 * negative value without an open evaluation. */
SSOUND_EXPORT int ssound_stop(struct ssound* engine);

#ifdef __cplusplus
}
#endif

#endif
