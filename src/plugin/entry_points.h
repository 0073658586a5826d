// What the three exports of the library do: fill the browser's callback table,
// take a copy of the browser's service table and start the library, and stop
// it again.
#pragma once

#include "plugin/npapi.h"

// The API version we declare: 0.17, the first with response headers.
constexpr uint16_t kPluginApiVersion = 17;
// A callback table smaller than this gets only the ten stream and window
// callbacks, and so no script object.
constexpr uint16_t kFullPluginTableSize = 60;

NPError FillEntryPoints(NPPluginFuncs* table) noexcept;
NPError InitializePlugin(const NPNetscapeFuncs* browser) noexcept;
NPError ShutdownPlugin() noexcept;
