// Compile-time proof that our NPAPI declarations match what Windows browsers
// pass, for 64-bit and 32-bit pointers alike. The 32-bit case is checked by the
// 32-bit engine build, which compiles this file as part of the engine.
#include <cstddef>

#include "plugin/npapi.h"

namespace {

constexpr size_t P = sizeof(void*);
static_assert(P == 8 || P == 4, "a Windows pointer is 8 or 4 bytes");

// Offset of table entry n (1-based) after the 16-bit size and version.
constexpr size_t Entry(size_t n) { return (P == 8 ? 8 : 4) + P * (n - 1); }
constexpr size_t Pick(size_t x64, size_t x86) { return P == 8 ? x64 : x86; }

static_assert(sizeof(NPBool) == 1 && sizeof(NPError) == 2 && sizeof(NPReason) == 2);
static_assert(sizeof(NPIdentifier) == P && sizeof(NPMIMEType) == P);
static_assert(sizeof(NPPVariable) == 4 && sizeof(NPNVariable) == 4 && sizeof(NPWindowType) == 4 &&
              sizeof(NPVariantType) == 4);

static_assert(offsetof(NPNetscapeFuncs, size) == 0 && offsetof(NPNetscapeFuncs, version) == 2);
static_assert(offsetof(NPNetscapeFuncs, geturl) == Entry(1));
static_assert(offsetof(NPNetscapeFuncs, uagent) == Entry(8));
static_assert(offsetof(NPNetscapeFuncs, memalloc) == Entry(9));
static_assert(offsetof(NPNetscapeFuncs, getvalue) == Entry(17));
static_assert(offsetof(NPNetscapeFuncs, getstringidentifier) == Entry(22));
static_assert(offsetof(NPNetscapeFuncs, createobject) == Entry(28));
static_assert(offsetof(NPNetscapeFuncs, invoke) == Entry(31));
static_assert(offsetof(NPNetscapeFuncs, releasevariantvalue) == Entry(39));
static_assert(offsetof(NPNetscapeFuncs, pushpopupsenabledstate) == Entry(41));
static_assert(offsetof(NPNetscapeFuncs, enumerate) == Entry(43));
static_assert(offsetof(NPNetscapeFuncs, pluginthreadasynccall) == Entry(44));
static_assert(offsetof(NPNetscapeFuncs, urlredirectresponse) == Entry(55));
// The span up to and including enumerate is the part of the table we keep.
static_assert(offsetof(NPNetscapeFuncs, pluginthreadasynccall) == Pick(352, 176));
static_assert(sizeof(NPNetscapeFuncs) == Pick(448, 224));

static_assert(offsetof(NPPluginFuncs, newp) == Entry(1));
static_assert(offsetof(NPPluginFuncs, writeready) == Entry(7));
static_assert(offsetof(NPPluginFuncs, event) == Entry(10));
static_assert(offsetof(NPPluginFuncs, urlnotify) == Entry(11));
static_assert(offsetof(NPPluginFuncs, javaClass) == Entry(12));
static_assert(offsetof(NPPluginFuncs, getvalue) == Entry(13));
static_assert(offsetof(NPPluginFuncs, setvalue) == Entry(14));
static_assert(offsetof(NPPluginFuncs, gotfocus) == Entry(15));
static_assert(offsetof(NPPluginFuncs, getsiteswithdata) == Entry(19));
static_assert(sizeof(NPPluginFuncs) == Pick(160, 80));
// On 32-bit, a 60-byte table ends exactly after setvalue.
static_assert(P == 8 || offsetof(NPPluginFuncs, setvalue) + P == 60);

static_assert(sizeof(NPP_t) == 2 * P && offsetof(NPP_t, ndata) == P);

static_assert(offsetof(NPStream, url) == Pick(16, 8));
static_assert(offsetof(NPStream, end) == Pick(24, 12));
static_assert(offsetof(NPStream, lastmodified) == Pick(28, 16));
static_assert(offsetof(NPStream, notifyData) == Pick(32, 20));
static_assert(offsetof(NPStream, headers) == Pick(40, 24));
static_assert(sizeof(NPStream) == Pick(48, 28));

static_assert(offsetof(NPByteRange, length) == 4 && offsetof(NPByteRange, next) == 8);
static_assert(sizeof(NPByteRange) == Pick(16, 12));
static_assert(offsetof(NPSavedData, buf) == Pick(8, 4) && sizeof(NPSavedData) == Pick(16, 8));
static_assert(sizeof(NPRect) == 8 && offsetof(NPRect, right) == 6);

static_assert(offsetof(NPWindow, x) == Pick(8, 4));
static_assert(offsetof(NPWindow, width) == Pick(16, 12));
static_assert(offsetof(NPWindow, clipRect) == Pick(24, 20));
static_assert(offsetof(NPWindow, type) == Pick(32, 28));
static_assert(sizeof(NPWindow) == Pick(40, 32));

static_assert(offsetof(NPEvent, wParam) == Pick(8, 4) && offsetof(NPEvent, lParam) == Pick(16, 8));
static_assert(sizeof(NPEvent) == Pick(24, 12));

static_assert(offsetof(NPFullPrint, printOne) == 1 && offsetof(NPFullPrint, platformPrint) == Pick(8, 4));
static_assert(sizeof(NPFullPrint) == Pick(16, 8));
static_assert(offsetof(NPEmbedPrint, platformPrint) == Pick(40, 32) && sizeof(NPEmbedPrint) == Pick(48, 36));
static_assert(offsetof(NPPrint, print) == Pick(8, 4));
static_assert(offsetof(NPPrint, print.embedPrint.window.type) == Pick(40, 32));
static_assert(offsetof(NPPrint, print.embedPrint.platformPrint) == Pick(48, 36));
static_assert(sizeof(NPPrint) == Pick(56, 40));

static_assert(offsetof(NPObject, referenceCount) == P && sizeof(NPObject) == 2 * P);
static_assert(offsetof(NPString, UTF8Length) == P && sizeof(NPString) == 2 * P);
// The value union holds a double, so it starts at 8 on both architectures.
static_assert(offsetof(NPVariant, value) == 8);
static_assert(sizeof(NPVariant) == Pick(24, 16));

static_assert(offsetof(NPClass, allocate) == P);
static_assert(offsetof(NPClass, invoke) == 5 * P);
static_assert(offsetof(NPClass, enumerate) == 11 * P);
static_assert(offsetof(NPClass, construct) == 12 * P);
static_assert(sizeof(NPClass) == 13 * P);

}  // namespace
